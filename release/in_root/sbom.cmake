# The release's bill of materials, in CycloneDX 1.6 JSON: each file of the
# release with its SHA-256; in each, the program and what it holds of others'
# code, each part named by the Debian package it was linked in from, at the
# version installed when it was built; and what each Linux program needs from
# the system at run time, as its Debian package's Depends says.
#
#   sphere_write_sbom(OUTPUT <file> VERSION <version> COMMIT <commit>
#                     SOURCE_ARCHIVE <name> DIST <folder> BUILDS <folder>
#                     FILES <target>=<file>... [WINDOWS_SIGNED_WITH <tool and version>])
#
# The targets are SPHERE_TARGETS (targets.cmake); FILES names the files in
# DIST made from each target's build, BUILDS/<target>, whose link map
# (sphere.map) tells what its program holds. Its time is SOURCE_DATE_EPOCH,
# and its serial number is derived from its content: the same release gives
# the same bytes. Where the Windows programs are Authenticode-signed, each says
# so and by what, which is among the tools too.
include(${CMAKE_CURRENT_LIST_DIR}/../../packaging/linked_in.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/link_map.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/run_command.cmake)

# Sets <variable> to "value" as a JSON string; the texts here need no escapes
# but these.
function(sbom_string value variable)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  set(${variable} "\"${value}\"" PARENT_SCOPE)
endfunction()

# Sets <variable> to the "hashes" member of a component for <file>.
function(sbom_hashes file variable)
  file(SHA256 "${file}" sum)
  set(${variable} "\"hashes\": [{\"alg\": \"SHA-256\", \"content\": \"${sum}\"}]" PARENT_SCOPE)
endfunction()

# Sets <variable> to a package URL of a Debian package.
function(sbom_purl package version architecture variable)
  set(purl "pkg:deb/debian/${package}")
  if(version)
    string(REPLACE "+" "%2B" version "${version}")
    string(REPLACE ":" "%3A" version "${version}")
    string(APPEND purl "@${version}")
  endif()
  set(${variable} "${purl}?arch=${architecture}" PARENT_SCOPE)
endfunction()

# Sets <variable>_parts to the JSON components of what the program of
# <target> holds of others' code, with "@REF@" where its bom-ref goes, and
# <variable>_needs to the system packages its Debian package depends on.
function(sbom_program_facts target builds dist files variable)
  sphere_link_map_files("${builds}/${target}/sphere.map" linked)
  set(packages "")
  foreach(file IN LISTS linked)
    get_filename_component(library "${file}" NAME_WLE)
    set(codes ${sphere_linked_in_${library}})
    if(NOT codes)
      message(FATAL_ERROR "${target}'s program holds ${file}, which packaging/linked_in.cmake does not list")
    endif()
    get_filename_component(real "${file}" REALPATH)
    sphere_run(dpkg-query -S "${real}" OUTPUT owner)
    string(REGEX REPLACE ":.*" "" package "${owner}")
    if(NOT package IN_LIST packages)
      list(APPEND packages ${package})
      set(${package}_codes ${codes})
      set(${package}_files "")
    endif()
    # A package's code is the one that all its files can be of.
    foreach(code IN LISTS ${package}_codes)
      if(NOT code IN_LIST codes)
        list(REMOVE_ITEM ${package}_codes ${code})
      endif()
    endforeach()
    get_filename_component(name "${file}" NAME)
    list(APPEND ${package}_files ${name})
  endforeach()
  list(SORT packages)
  set(parts "")
  foreach(package IN LISTS packages)
    list(LENGTH ${package}_codes count)
    if(NOT count EQUAL 1)
      message(FATAL_ERROR "${package}'s files in ${target}'s program are not of one code: ${${package}_files}")
    endif()
    set(code ${${package}_codes})
    sphere_run(dpkg-query -W "-f=\${Version};\${Architecture}" ${package} OUTPUT installed)
    list(GET installed 0 version)
    list(GET installed 1 architecture)
    sbom_purl(${package} ${version} ${architecture} purl)
    list(SORT ${package}_files)
    list(JOIN ${package}_files ", " held)
    sbom_string("${sphere_code_${code}_name}, linked in: ${held}" description)
    list(APPEND parts "{\"type\": \"library\", \"bom-ref\": \"@REF@/${package}\", \"name\": \"${package}\", \
\"version\": \"${version}\", \"description\": ${description}, \
\"licenses\": [{\"expression\": \"${sphere_code_${code}_licence}\"}], \"purl\": \"${purl}\"}")
  endforeach()
  set(${variable}_parts "${parts}" PARENT_SCOPE)

  set(needs "")
  foreach(name IN LISTS files)
    if(name MATCHES "\\.deb$")
      sphere_run(dpkg-deb -f "${dist}/${name}" Depends OUTPUT depends)
      string(REPLACE ", " ";" needs "${depends}")
    endif()
  endforeach()
  set(${variable}_needs "${needs}" PARENT_SCOPE)
endfunction()

function(sphere_write_sbom)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "OUTPUT;VERSION;COMMIT;SOURCE_ARCHIVE;DIST;BUILDS;WINDOWS_SIGNED_WITH"
                        "FILES")
  set(version ${arg_VERSION})
  set(program "\"name\": \"sphere\", \"version\": \"${version}\", \"licenses\": [{\"license\": {\"id\": \"MIT\"}}]")
  sbom_hashes("${arg_DIST}/${arg_SOURCE_ARCHIVE}" source_hashes)
  set(components "{\"type\": \"file\", \"bom-ref\": \"${arg_SOURCE_ARCHIVE}\", \
\"name\": \"${arg_SOURCE_ARCHIVE}\", \"description\": \"the source archive\", ${source_hashes}}")
  # The system's libraries that the programs need, each listed once.
  set(system "")
  set(system_refs "")
  set(dependencies "")
  foreach(target IN LISTS SPHERE_TARGETS)
    set(files ${arg_FILES})
    list(FILTER files INCLUDE REGEX "^${target}=")
    list(TRANSFORM files REPLACE "^${target}=" "")
    sbom_program_facts(${target} "${arg_BUILDS}" "${arg_DIST}" "${files}" facts)
    set(architecture ${SPHERE_TARGET_${target}_deb})
    set(needed "")
    foreach(need IN LISTS facts_needs)
      string(REGEX MATCH "^([^ ]+)" name "${need}")
      set(ref "system/${name}:${architecture}")
      list(APPEND needed "\"${ref}\"")
      if(NOT ref IN_LIST system_refs)
        list(APPEND system_refs ${ref})
        sbom_purl(${name} "" ${architecture} purl)
        list(APPEND system "{\"type\": \"library\", \"bom-ref\": \"${ref}\", \"name\": \"${name}\", \
\"scope\": \"required\", \"description\": \"the system's, not in any file of the release: ${need}\", \
\"purl\": \"${purl}\"}")
      endif()
    endforeach()
    list(JOIN needed ", " needed)
    set(signed "")
    if(arg_WINDOWS_SIGNED_WITH AND SPHERE_TARGET_${target}_system STREQUAL "Windows")
      set(signed ", Authenticode-signed by ${arg_WINDOWS_SIGNED_WITH}")
    endif()
    foreach(name IN LISTS files)
      sbom_hashes("${arg_DIST}/${name}" hashes)
      set(ref "${name}/sphere")
      string(REPLACE "@REF@" "${ref}" parts "${facts_parts}")
      list(JOIN parts ",\n        " parts)
      list(APPEND components "{\"type\": \"file\", \"bom-ref\": \"${name}\", \"name\": \"${name}\", ${hashes}, \
\"components\": [\n      {\"type\": \"application\", \"bom-ref\": \"${ref}\", ${program}, \
\"description\": \"the program, built for ${target}${signed}\", \"components\": [\n        ${parts}]}]}")
      if(needed)
        list(APPEND dependencies "{\"ref\": \"${ref}\", \"dependsOn\": [${needed}]}")
      endif()
    endforeach()
  endforeach()
  list(APPEND components ${system})
  list(JOIN components ",\n    " components)
  list(JOIN dependencies ",\n    " dependencies)

  set(tools "{\"type\": \"application\", \"name\": \"cmake\", \"version\": \"${CMAKE_VERSION}\"}")
  if(arg_WINDOWS_SIGNED_WITH MATCHES "^([^ ]+) (.+)$")
    string(APPEND tools
           ", {\"type\": \"application\", \"name\": \"${CMAKE_MATCH_1}\", \"version\": \"${CMAKE_MATCH_2}\"}")
  endif()
  string(TIMESTAMP time "%Y-%m-%dT%H:%M:%SZ" UTC)
  set(document
      "{
  \"bomFormat\": \"CycloneDX\",
  \"specVersion\": \"1.6\",
  \"serialNumber\": \"@SERIAL@\",
  \"version\": 1,
  \"metadata\": {
    \"timestamp\": \"${time}\",
    \"tools\": {\"components\": [${tools}]},
    \"component\": {\"type\": \"application\", \"bom-ref\": \"sphere\", ${program},
      \"description\": \"The sphere release: every file, what its program holds, whose it is, under which licence\",
      \"swhid\": [\"swh:1:rev:${arg_COMMIT}\"],
      \"externalReferences\": [{\"type\": \"source-distribution\", \"url\": \"${arg_SOURCE_ARCHIVE}\", ${source_hashes}}]}
  },
  \"components\": [
    ${components}
  ],
  \"dependencies\": [
    ${dependencies}
  ]
}
")
  # The serial number is a name-based UUID of everything else in it.
  string(SHA256 content "${document}")
  string(UUID serial NAMESPACE 6ba7b811-9dad-11d1-80b4-00c04fd430c8 NAME "sphere-${version}.cdx.json:${content}" TYPE
         SHA1)
  string(REPLACE "@SERIAL@" "urn:uuid:${serial}" document "${document}")
  # What is not JSON stops the release here.
  string(JSON kind TYPE "${document}")
  file(WRITE "${arg_OUTPUT}" "${document}")
endfunction()
