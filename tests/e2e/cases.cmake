# cmake-format: off
#           name                input                   volume      area
result_case(radius-1            "1\n"                   4.19        12.57)
result_case(radius-2            "2\n"                   33.51       50.27)
result_case(radius-3            "3\n"                   113.10      113.10)
result_case(trailing-zero       "5\n"                   523.60      314.16)
result_case(exponent            "0.5E1\n"               523.60      314.16)
result_case(tiny-volume         "0.1\n"                 0.00        0.13)
result_case(zero                "0\n"                   0.00        0.00)
result_case(negative            "-1\n"                  -4.19       12.57)
result_case(no-line-end         "2"                     33.51       50.27)
result_case(leading-space       "\n\n \t 2.5\n"         65.45       78.54)
result_case(words-after         "2.5 cm and more\n"     65.45       78.54)
result_case(letters-after       "2.5abc\n"              65.45       78.54)
result_case(hexadecimal         "0x1p3\n"               0.00        0.00)
result_case(underflow           "1e-400\n"              0.00        0.00)
result_case(infinite-volume     "1e103\n"               inf
  1256637061435917226447621351588869748602899108754594379518604133542081138416966924018796917557724460833542251607011418745709262682515527350764762854429344839370828441335550260568764718908246789560981795110912.00)
result_case(both-infinite       "-1e154\n"              -inf        inf)
# Every digit of these results is printed, so a one-bit difference shows.
result_case(every-digit         "1e100\n"
  4188790204786391023037653745066888033674269601987290536808016329316308634685086122488514444823531348327680763791555773736969796128982003351351758002318705620783077887013083444375449419178598064690514680748681860839064395246077698809170744329065484767656685622860944536586560143918143516049160703836160.00
  1256637061435917156778089367863713116291612420452492582233166684979514754641226685253849047927538081655804124076197387854652571615398170231445285774405089823023312332448742263541425998723384289630617600.00)

#            name               input       message
failure_case(empty              ""          "the radius must be a number")
failure_case(only-space         " \n\t\n"   "the radius must be a number")
failure_case(letters            "abc\n"     "the radius must be a number")
failure_case(infinity-word      "inf\n"     "the radius must be a number")
failure_case(not-a-number-word  "nan\n"     "the radius must be a number")
failure_case(lone-sign          "-\n"       "the radius must be a number")
failure_case(bare-exponent      "1e\n"      "the radius must be a number")
failure_case(exponent-sign-only "1e+\n"     "the radius must be a number")
failure_case(too-large          "1e999\n"   "the radius is out of range")
failure_case(too-small          "-1e999\n"  "the radius is out of range")

# Hostile input: long runs, bytes that are not text, random bytes.
string(REPEAT " " 1048576 megabyte_of_blanks)
string(REPEAT "0" 1048576 megabyte_of_zeros)
string(REPEAT "9" 1048576 megabyte_of_digits)
result_case(megabyte-of-blanks  "${megabyte_of_blanks}2\n"  33.51  50.27)
result_case(megabyte-of-zeros   "${megabyte_of_zeros}2\n"   33.51  50.27)
failure_case(megabyte-of-digits "${megabyte_of_digits}\n"   "the radius is out of range")
# Only the first few hundred digits of a number are kept; the others still
# count in its magnitude, and a non-zero one still tips a halfway value.
result_case(megabyte-then-exponent  "1${megabyte_of_zeros}e-1048576\n"  4.19      12.57)
result_case(megabyte-in-exponent    "2e${megabyte_of_zeros}1\n"         33510.32  5026.55)
result_case(megabyte-after-point    "0.${megabyte_of_zeros}1\n"         0.00      0.00)
result_case(just-above-halfway
  "10000000000000003073032249436192786847553668799223641353391586135957120649888995669169897793669562368.${megabyte_of_zeros}1\n"
  4188790204786395781491760873972688987474263681669082956840661639378577613155035933498617358117526692866287151491877661092885924746495764806024543746016970551440937414675885949882138851050194681287026150501439845604490898770676758225966606338281766870373294738566810175130897597178664552098276910825472.00
  1256637061435918244548698656602731232568259439908241353239871789940893467102821719680339642952931211460608763265774437739999359448232249661239769287149516133720228846419639044507868669608696866609823744.00)
failure_case(nul-and-high-bytes "" "the radius must be a number"
  STDIN_FROM "${CMAKE_CURRENT_SOURCE_DIR}/data/nul-and-high-bytes.in")

# Random bytes from fixed seeds: after a radius and its line end they are never
# read; where the first byte cannot begin a number, nothing is read at all.
set(codes "")
foreach(code RANGE 1 255)
  list(APPEND codes ${code})
endforeach()
string(ASCII ${codes} any_byte)
string(ASCII 9 10 11 12 13 white_space)
string(REGEX REPLACE "[-+. 0-9${white_space}]" "" not_a_number_start "${any_byte}")
foreach(seed IN ITEMS 1 42 2024)
  string(RANDOM LENGTH 4096 ALPHABET "${any_byte}" RANDOM_SEED ${seed} noise)
  string(RANDOM LENGTH 1 ALPHABET "${not_a_number_start}" RANDOM_SEED ${seed} first)
  result_case(random-after-radius-${seed}  "2\n${noise}"       33.51  50.27)
  failure_case(random-bytes-${seed}        "${first}${noise}"   "the radius must be a number")
endforeach()

# cmake-format: on

# A stream that cannot be used is a failure of the system, never a success and
# never blamed on the user's text. A folder opens as input but cannot be read.
failure_case(input-is-a-folder "" "cannot read the input" STDIN_FROM "${e2e_dir}")
if(NOT CMAKE_CROSSCOMPILING)
  if(EXISTS /dev/full)
    e2e_case(disk-full INPUT "2\n" STDOUT_TO /dev/full STATUS 1 STDERR "error: cannot write the output\n")
  endif()
  find_program(POSIX_SHELL sh)
  if(POSIX_SHELL AND NOT WIN32)
    e2e_case(output-closed INPUT "2\n" STDOUT_TO closed STATUS 1 STDERR "error: cannot write the output\n")
    failure_case(input-closed "" "cannot read the input" STDIN_FROM closed)
  endif()
endif()
