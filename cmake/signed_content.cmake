# What a package's signature covers, for a rebuild, which has no key, to take
# the published signature wherever what it signs comes out the same:
#
#   sphere_rpm_signed_content(<rpm> <variable>)
#   sphere_pe_signed_alike(<published program, signature removed> <program> <variable>)
#
# An RPM package's signature covers all that follows its lead (96 bytes) and
# its signature header, a header structure of 16 bytes, 16 for each entry and
# its data, padded to 8 bytes: sphere_rpm_signed_content sets <variable> to
# that, in hexadecimal.
#
# An Authenticode signature covers all of a Windows program but its checksum,
# its certificate table's place and the table itself. Removing it leaves the
# program as signing found it, but for the PE checksum, which signing sets,
# and the zero bytes, fewer than 8, that align the table, which some
# osslsigncode versions leave in place: sphere_pe_signed_alike sets
# <variable> to TRUE where the two programs differ in nothing else.
include_guard(GLOBAL)

function(sphere_rpm_signed_content file variable)
  file(READ "${file}" header OFFSET 96 LIMIT 16 HEX)
  string(SUBSTRING "${header}" 16 8 entries)
  string(SUBSTRING "${header}" 24 8 size)
  math(EXPR length "16 + 16 * 0x${entries} + 0x${size}")
  math(EXPR offset "96 + (${length} + 7) / 8 * 8")
  file(READ "${file}" content OFFSET ${offset} HEX)
  set(${variable} "${content}" PARENT_SCOPE)
endfunction()

# Sets <variable> to <file>'s bytes, in hexadecimal, with its PE checksum (4
# bytes, 88 into the PE header, whose place stands at 0x3c) blanked.
function(pe_without_checksum file variable)
  file(READ "${file}" bytes HEX)
  file(READ "${file}" pe OFFSET 60 LIMIT 4 HEX)
  string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" pe "${pe}")
  math(EXPR checksum "(0x${pe} + 88) * 2")
  string(SUBSTRING "${bytes}" 0 ${checksum} before)
  math(EXPR after "${checksum} + 8")
  string(SUBSTRING "${bytes}" ${after} -1 after)
  set(${variable} "${before}00000000${after}" PARENT_SCOPE)
endfunction()

function(sphere_pe_signed_alike unsigned program variable)
  pe_without_checksum("${unsigned}" unsigned_bytes)
  pe_without_checksum("${program}" program_bytes)
  string(LENGTH "${program_bytes}" length)
  string(LENGTH "${unsigned_bytes}" unsigned_length)
  set(padding "")
  if(unsigned_length GREATER length)
    string(SUBSTRING "${unsigned_bytes}" ${length} -1 padding)
    string(SUBSTRING "${unsigned_bytes}" 0 ${length} unsigned_bytes)
  endif()
  set(alike FALSE)
  if(unsigned_bytes STREQUAL program_bytes AND padding MATCHES "^(00)?(00)?(00)?(00)?(00)?(00)?(00)?$")
    set(alike TRUE)
  endif()
  set(${variable} ${alike} PARENT_SCOPE)
endfunction()
