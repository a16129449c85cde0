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
#   sphere_sign_packages(DIST <folder> KEY <fingerprint> | SIGNATURES_FROM <folder>)
#   sphere_sign_release(DIST <folder> KEY <fingerprint> | SIGNATURES_FROM <folder>)
#
# The packages are signed first, before their checksums are taken; the rest
# once SHA256SUMS is written. Every signature is made as of SOURCE_DATE_EPOCH,
# and Ed25519 signatures are otherwise deterministic, so the same key and
# commit give the same bytes. The key must be older than that time.
#
# A rebuild has no key: it takes each signature from the published release
# (SIGNATURES_FROM) instead of making it. An RPM package is taken whole where
# what its signature covers (signed_content.cmake) is the rebuilt one's;
# every other signature is taken as it is, for the rebuild to verify
# with the publisher's public key.

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/run_command.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/signed_content.cmake)

function(sphere_sign_packages)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "DIST;KEY;SIGNATURES_FROM" "")
  file(GLOB rpms RELATIVE "${arg_DIST}" "${arg_DIST}/*.rpm")
  if(arg_KEY)
    sphere_run(rpmsign --addsign --define "_gpg_name ${arg_KEY}" --define "__gpg /usr/bin/gpg" --define
               "_gpg_sign_cmd_extra_args --faked-system-time $ENV{SOURCE_DATE_EPOCH}!" ${rpms} IN "${arg_DIST}" QUIET)
    return()
  endif()
  foreach(rpm IN LISTS rpms)
    set(published "${arg_SIGNATURES_FROM}/${rpm}")
    if(EXISTS "${published}")
      sphere_rpm_signed_content("${published}" theirs)
      sphere_rpm_signed_content("${arg_DIST}/${rpm}" ours)
      if(theirs STREQUAL ours)
        file(COPY_FILE "${published}" "${arg_DIST}/${rpm}")
      endif()
    endif()
  endforeach()
endfunction()

# Signs <input> in <folder> into <output>, detached and armoured or, with
# CLEAR, clear-signed, with KEY; or, without one, takes <output> from the same
# place in the published release, SIGNATURES_FROM, as in DIST.
function(signing_sign folder input output)
  cmake_parse_arguments(PARSE_ARGV 3 arg "CLEAR" "DIST;KEY;SIGNATURES_FROM" "")
  if(arg_KEY)
    set(how --armor --detach-sign)
    if(arg_CLEAR)
      set(how --clearsign)
    endif()
    sphere_run(gpg --batch --yes --no-tty --faked-system-time $ENV{SOURCE_DATE_EPOCH}! --local-user ${arg_KEY} ${how}
               --output ${output} ${input} IN "${folder}" QUIET)
  else()
    file(RELATIVE_PATH path "${arg_DIST}" "${folder}/${output}")
    file(COPY_FILE "${arg_SIGNATURES_FROM}/${path}" "${folder}/${output}")
  endif()
endfunction()

function(sphere_sign_release)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "DIST;KEY;SIGNATURES_FROM" "")
  set(epoch $ENV{SOURCE_DATE_EPOCH})
  set(signing DIST "${arg_DIST}" KEY "${arg_KEY}" SIGNATURES_FROM "${arg_SIGNATURES_FROM}")

  signing_sign("${arg_DIST}" SHA256SUMS SHA256SUMS.asc ${signing})

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
    sphere_run(apt-ftparchive --arch ${architecture} packages pool IN "${apt}" OUTPUT_FILE "${index}/Packages")
    sphere_run(gzip -9 -n -c Packages IN "${index}" OUTPUT_FILE "${index}/Packages.gz")
    list(APPEND architectures ${architecture})
  endforeach()
  list(JOIN architectures " " architectures)
  string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S UTC" UTC)
  set(release "")
  foreach(field IN ITEMS "Origin=sphere" "Label=sphere" "Suite=stable" "Codename=stable" "Components=main"
                         "Architectures=${architectures}" "Date=${date}")
    list(APPEND release -o "APT::FTPArchive::Release::${field}")
  endforeach()
  sphere_run(apt-ftparchive ${release} release dists/stable IN "${apt}" OUTPUT_FILE "${apt}/Release")
  file(RENAME "${apt}/Release" "${apt}/dists/stable/Release")
  signing_sign("${apt}/dists/stable" Release InRelease CLEAR ${signing})
  signing_sign("${apt}/dists/stable" Release Release.gpg ${signing})

  # The RPM repository: the signed packages, dated as the rest, since the
  # repository's index records each file's time.
  set(rpm "${arg_DIST}/rpm")
  file(GLOB rpms RELATIVE "${arg_DIST}" "${arg_DIST}/*.rpm")
  file(MAKE_DIRECTORY "${rpm}")
  foreach(package IN LISTS rpms)
    file(COPY_FILE "${arg_DIST}/${package}" "${rpm}/${package}")
    sphere_run(touch -d @${epoch} ${package} IN "${rpm}")
  endforeach()
  sphere_run(createrepo_c --revision ${epoch} --set-timestamp-to-revision --no-database rpm IN "${arg_DIST}" QUIET)
  signing_sign("${rpm}/repodata" repomd.xml repomd.xml.asc ${signing})
endfunction()
