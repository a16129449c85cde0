# Compares a rebuilt release with the published one, file by file, every
# file whatever differs before it:
#
#   sphere_compare_rebuild(RELEASE <folder> REBUILT <folder> RECORD <record>
#                          WORK <folder> [PARTIAL <targets>]
#                          [VERDICTS <path>: <verdict>...] FAILED <variable>)
#
# prints a table of every file and writes WORK/rebuild.json, and sets
# <variable> to TRUE where a file compared is not identical or a signature
# checked is not good. VERDICTS are the signatures' verdicts, as
# verify_signatures.sh prints them; PARTIAL names the targets that a rebuild
# of some alone made.
#
# Each file is compared one way:
#   whole file                    byte for byte
#   what the signature covers     an RPM package or a zip of a Windows
#                                 program, which the rebuild made with the
#                                 published signature wherever what it covers
#                                 came out the same: then byte for byte
#   signature taken               a signature, taken from the release; its
#                                 verdict is the signature's own
#   but for the mirror and its date   the record, where a rebuild from another
#                                 mirror, such as a snapshot, names that one
#   the lines of the rebuilt files    SHA256SUMS, where the record differs so,
#                                 or some targets alone were rebuilt
# and its verdict is one of identical, different, missing (made by the
# rebuild, not in the release), extra (in the release, not made by the
# rebuild) and not rebuilt (of a target that a rebuild of some alone left).
#
# Where diffoscope is installed, each file that differs gets its report in
# WORK/differences/, bounded in size and time.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/../in_root/build_record.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/table.cmake)

# Sets <variable> to <value> as a JSON string.
function(rebuild_json_string value variable)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  string(REPLACE "\n" "\\n" value "${value}")
  string(REPLACE "\t" "\\t" value "${value}")
  set(${variable} "\"${value}\"" PARENT_SCOPE)
endfunction()

# Sets <variable> to SHA256SUMS's lines, one per file, each file's sum in
# <prefix>_<file>; the record's sum as @RECORD@ where <record> is given.
function(rebuild_sums file record variable prefix)
  file(STRINGS "${file}" lines)
  set(names "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([0-9a-f]+)  (.+)$")
      set(sum ${CMAKE_MATCH_1})
      set(name "${CMAKE_MATCH_2}")
      if(name STREQUAL record)
        set(sum @RECORD@)
      endif()
      list(APPEND names "${name}")
      set(${prefix}_${name} ${sum} PARENT_SCOPE)
    endif()
  endforeach()
  set(${variable} ${names} PARENT_SCOPE)
endfunction()

# Sets <variable> to the report of how <published> and <rebuilt> differ, by
# diffoscope, written to WORK/differences/; or to how to have one.
function(rebuild_difference name published rebuilt work variable)
  find_program(diffoscope diffoscope NO_CACHE)
  if(NOT diffoscope)
    set(${variable} "diffoscope would show how (apt-get install diffoscope-minimal)" PARENT_SCOPE)
    return()
  endif()
  string(REPLACE "/" "_" report "${name}")
  set(report "differences/${report}.txt")
  file(MAKE_DIRECTORY "${work}/differences")
  execute_process(COMMAND ${diffoscope} --no-progress --text "${work}/${report}" --max-text-report-size 262144 --timeout
                          240 "${published}" "${rebuilt}" TIMEOUT 300 OUTPUT_QUIET ERROR_QUIET)
  set(${variable} "diffoscope's report in ${report}" PARENT_SCOPE)
endfunction()

function(sphere_compare_rebuild)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "RELEASE;REBUILT;RECORD;WORK;FAILED" "PARTIAL;VERDICTS")
  set(release "${arg_RELEASE}")
  set(rebuilt "${arg_REBUILT}")
  get_filename_component(record "${arg_RECORD}" NAME)

  # The record names the mirror and the date of its Release file, which a
  # rebuild from another mirror, such as a snapshot, may give otherwise for
  # the same packages: then the record is compared but for them, and
  # SHA256SUMS but for the record's line.
  set(mirror_only FALSE)
  if(EXISTS "${rebuilt}/${record}")
    foreach(side IN ITEMS release rebuilt)
      file(READ "${${side}}/${record}" ${side}_record)
      string(REGEX REPLACE "\nBuild-Mirror(-Date)?: [^\n]*" "" ${side}_without_mirror "${${side}_record}")
    endforeach()
    if(NOT release_record STREQUAL rebuilt_record AND release_without_mirror STREQUAL rebuilt_without_mirror)
      set(mirror_only TRUE)
    endif()
  endif()

  file(GLOB_RECURSE published LIST_DIRECTORIES false RELATIVE "${release}" "${release}/*")
  file(GLOB_RECURSE made LIST_DIRECTORIES false RELATIVE "${rebuilt}" "${rebuilt}/*")
  set(names ${published} ${made})
  list(REMOVE_DUPLICATES names)
  list(SORT names)
  set(failed FALSE)
  set(cells "")
  set(entries "")
  foreach(name IN LISTS names)
    set(theirs "")
    set(ours "")
    if(EXISTS "${release}/${name}")
      file(SHA256 "${release}/${name}" theirs)
    endif()
    if(EXISTS "${rebuilt}/${name}")
      file(SHA256 "${rebuilt}/${name}" ours)
    endif()
    set(how "whole file")
    set(detail "")
    if(name MATCHES "\\.(asc|gpg)$|(^|/)InRelease$")
      set(how "signature taken")
    elseif(name MATCHES "\\.(rpm|zip)$")
      set(how "what the signature covers")
    elseif(name STREQUAL record AND mirror_only)
      set(how "but for the mirror and its date")
    elseif(name STREQUAL "SHA256SUMS" AND (mirror_only OR arg_PARTIAL))
      set(how "the lines of the rebuilt files")
    endif()

    if(ours STREQUAL "")
      set(verdict extra)
      if(arg_PARTIAL)
        set(verdict "not rebuilt")
      endif()
      set(how "")
    elseif(theirs STREQUAL "")
      set(verdict missing)
    elseif(how STREQUAL "the lines of the rebuilt files")
      # Each line of a file the rebuild made must stand in the published
      # SHA256SUMS as the rebuild wrote it, and a rebuild of every target
      # must have made every line.
      set(verdict identical)
      set(record_name "")
      if(mirror_only)
        set(record_name "${record}")
      endif()
      rebuild_sums("${release}/${name}" "${record_name}" their_lines their)
      rebuild_sums("${rebuilt}/${name}" "${record_name}" our_lines our)
      set(lacking "")
      foreach(line IN LISTS our_lines)
        if(NOT "${their_${line}}" STREQUAL "${our_${line}}")
          list(APPEND lacking "${line}")
        endif()
      endforeach()
      if(NOT arg_PARTIAL)
        foreach(line IN LISTS their_lines)
          if(NOT line IN_LIST our_lines)
            list(APPEND lacking "${line}")
          endif()
        endforeach()
      endif()
      if(lacking)
        set(verdict different)
        list(JOIN lacking ", " lacking)
        set(detail "the lines of ${lacking}")
      endif()
    elseif(how STREQUAL "but for the mirror and its date" OR theirs STREQUAL ours)
      set(verdict identical)
    else()
      set(verdict different)
      if(name STREQUAL record)
        sphere_build_record_differences("${release}/${record}" "${rebuilt}/${record}" detail)
      else()
        rebuild_difference("${name}" "${release}/${name}" "${rebuilt}/${name}" "${arg_WORK}" detail)
      endif()
    endif()
    if(NOT verdict MATCHES "^(identical|not rebuilt)$")
      set(failed TRUE)
    endif()

    # Where a signature was verified, its verdict goes beside the file's.
    set(signature "")
    foreach(line IN LISTS arg_VERDICTS)
      string(FIND "${line}" "${name}: " at)
      if(at EQUAL 0)
        string(LENGTH "${name}: " length)
        string(SUBSTRING "${line}" ${length} -1 signature)
        if(NOT signature MATCHES "^good")
          set(failed TRUE)
        endif()
      endif()
    endforeach()

    set(said "${verdict}")
    if(NOT detail STREQUAL "")
      string(APPEND said ": ${detail}")
    endif()
    if(NOT how MATCHES "^(whole file)?$")
      string(APPEND said " (${how})")
    endif()
    if(NOT signature STREQUAL "")
      string(APPEND said ", its signature ${signature}")
    endif()
    # A semicolon would part the row in two.
    string(REPLACE ";" "," said "${said}")
    list(APPEND cells "${name}" "${said}")

    set(entry "")
    foreach(pair IN ITEMS name=name published_sha256=theirs rebuilt_sha256=ours compared=how verdict=verdict
                          detail=detail signature=signature)
      string(REGEX MATCH "^[^=]+" key "${pair}")
      string(REGEX REPLACE "^[^=]+=" "" field "${pair}")
      if(field MATCHES "^(detail|signature)$" AND "${${field}}" STREQUAL "")
        continue()
      endif()
      set(value null)
      if(NOT "${${field}}" STREQUAL "")
        rebuild_json_string("${${field}}" value)
      endif()
      if(NOT entry STREQUAL "")
        string(APPEND entry ", ")
      endif()
      string(APPEND entry "\"${key}\": ${value}")
    endforeach()
    if(NOT entries STREQUAL "")
      string(APPEND entries ",\n    ")
    endif()
    string(APPEND entries "{${entry}}")
  endforeach()

  set(table "Each file of ${release}, as rebuilt:")
  sphere_table(table 2 cells)
  message(STATUS "${table}")

  set(verdict identical)
  if(failed)
    set(verdict different)
  endif()
  rebuild_json_string("${release}" release_json)
  set(partial null)
  if(arg_PARTIAL)
    list(JOIN arg_PARTIAL "\", \"" partial)
    set(partial "[\"${partial}\"]")
  endif()
  file(WRITE "${arg_WORK}/rebuild.json"
       "{\n  \"release\": ${release_json},\n  \"targets\": ${partial},\n  \"verdict\": \"${verdict}\",\n"
       "  \"files\": [\n    ${entries}\n  ]\n}\n")
  set(${arg_FAILED} ${failed} PARENT_SCOPE)
endfunction()
