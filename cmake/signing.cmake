# Signs a release with the publisher's OpenPGP key and makes the repositories
# that apt and dnf update from, with Debian's and RPM's own tools:
#
#   *.rpm            each RPM package, signed in its header (rpmsign)
#   SHA256SUMS.asc   a detached signature over SHA256SUMS
#   debian/          an apt repository: pool/main/ with the Debian packages,
#                    dists/stable/main/binary-<architecture>/Packages(.gz),
#                    dists/stable/Release, signed as InRelease and Release.gpg
#   rpm/             an RPM repository: the RPM packages, repodata/
#                    (createrepo_c), and repodata/repomd.xml.asc
#
#   sphere_sign_packages(DIST <folder> KEY <fingerprint>)
#   sphere_sign_release(DIST <folder> KEY <fingerprint>)
#
# The packages are signed first, before their checksums are taken; the rest
# once SHA256SUMS is written. Every signature is made as of SOURCE_DATE_EPOCH,
# and Ed25519 signatures are otherwise deterministic, so the same key and
# commit give the same bytes. The key must be older than that time.

# Runs a command in <folder>, failing with what it said where it fails.
function(signing_run folder)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${folder}"
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN}\nfailed (${status}):\n${output}")
  endif()
endfunction()

function(sphere_sign_packages)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "DIST;KEY" "")
  file(GLOB rpms RELATIVE "${arg_DIST}" "${arg_DIST}/*.rpm")
  signing_run("${arg_DIST}" rpmsign --addsign --define "_gpg_name ${arg_KEY}" --define "__gpg /usr/bin/gpg"
    --define "_gpg_sign_cmd_extra_args --faked-system-time $ENV{SOURCE_DATE_EPOCH}!" ${rpms})
endfunction()

function(sphere_sign_release)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "DIST;KEY" "")
  set(epoch $ENV{SOURCE_DATE_EPOCH})
  set(gpg gpg --batch --yes --no-tty --faked-system-time ${epoch}! --local-user ${arg_KEY})

  signing_run("${arg_DIST}" ${gpg} --armor --detach-sign --output SHA256SUMS.asc SHA256SUMS)

  # The apt repository, one suite, stable, with one component, main.
  set(apt "${arg_DIST}/debian")
  file(GLOB debs RELATIVE "${arg_DIST}" "${arg_DIST}/*.deb")
  file(MAKE_DIRECTORY "${apt}/pool/main")
  set(architectures "")
  foreach(deb IN LISTS debs)
    file(COPY_FILE "${arg_DIST}/${deb}" "${apt}/pool/main/${deb}")
    string(REGEX REPLACE ".*_([^_]+)\\.deb$" "\\1" architecture "${deb}")
    set(index "${apt}/dists/stable/main/binary-${architecture}")
    file(MAKE_DIRECTORY "${index}")
    execute_process(COMMAND apt-ftparchive --arch ${architecture} packages pool
      WORKING_DIRECTORY "${apt}" OUTPUT_FILE "${index}/Packages" COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND gzip -9 -n -c Packages
      WORKING_DIRECTORY "${index}" OUTPUT_FILE "${index}/Packages.gz" COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND architectures ${architecture})
  endforeach()
  list(JOIN architectures " " architectures)
  string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S UTC" UTC)
  set(release "")
  foreach(field IN ITEMS "Origin=sphere" "Label=sphere" "Suite=stable" "Codename=stable"
      "Components=main" "Architectures=${architectures}" "Date=${date}")
    list(APPEND release -o "APT::FTPArchive::Release::${field}")
  endforeach()
  execute_process(COMMAND apt-ftparchive ${release} release dists/stable
    WORKING_DIRECTORY "${apt}" OUTPUT_FILE "${apt}/Release" COMMAND_ERROR_IS_FATAL ANY)
  file(RENAME "${apt}/Release" "${apt}/dists/stable/Release")
  signing_run("${apt}/dists/stable" ${gpg} --clearsign --output InRelease Release)
  signing_run("${apt}/dists/stable" ${gpg} --armor --detach-sign --output Release.gpg Release)

  # The RPM repository: the signed packages, dated as the rest, since the
  # repository's index records each file's time.
  set(rpm "${arg_DIST}/rpm")
  file(GLOB rpms RELATIVE "${arg_DIST}" "${arg_DIST}/*.rpm")
  file(MAKE_DIRECTORY "${rpm}")
  foreach(package IN LISTS rpms)
    file(COPY_FILE "${arg_DIST}/${package}" "${rpm}/${package}")
    signing_run("${rpm}" touch -d @${epoch} ${package})
  endforeach()
  signing_run("${arg_DIST}" createrepo_c --revision ${epoch} --set-timestamp-to-revision --no-database rpm)
  signing_run("${rpm}/repodata" ${gpg} --armor --detach-sign --output repomd.xml.asc repomd.xml)
endfunction()
