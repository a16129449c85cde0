# Writes the targets' presets, cmake/presets/targets.json, from the targets'
# lines in cmake/targets.cmake: for each target, its configure, build, test
# and workflow presets. Run it whenever a target's line changes:
#
#   cmake -P cmake/presets/make_targets.cmake [-D OUTPUT=<file>]
#
# A target built by the host's own compiler inherits "target", a
# cross-compiled one "cross"; one run under Wine is tested under "under-wine".
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../targets.cmake)
if(NOT OUTPUT)
  set(OUTPUT "${CMAKE_CURRENT_LIST_DIR}/targets.json")
endif()

set(configure "")
set(build "")
set(test "")
set(workflow "")
foreach(target IN LISTS SPHERE_TARGETS)
  set(base target)
  if(SPHERE_TARGET_${target}_triplet)
    set(base cross)
  endif()
  set(tested tested)
  if(SPHERE_TARGET_${target}_emulator MATCHES "wine")
    set(tested under-wine)
  endif()
  list(APPEND configure
       "{\"name\": \"${target}\", \"inherits\": \"${base}\", \"displayName\": \"${SPHERE_TARGET_${target}_name}\"}")
  list(APPEND build "{\"name\": \"${target}\", \"configurePreset\": \"${target}\"}")
  list(APPEND test "{\"name\": \"${target}\", \"inherits\": \"${tested}\", \"configurePreset\": \"${target}\"}")
  set(steps "")
  foreach(step IN ITEMS configure build test)
    list(APPEND steps "{\"type\": \"${step}\", \"name\": \"${target}\"}")
  endforeach()
  list(JOIN steps ", " steps)
  list(APPEND workflow "{\"name\": \"${target}\", \"steps\": [${steps}]}")
endforeach()
foreach(kind IN ITEMS configure build test workflow)
  list(JOIN ${kind} ",\n    " ${kind})
endforeach()

file(
  WRITE "${OUTPUT}"
  [[{
  "version": 6,
  "include": ["base.json"],
  "configurePresets": [
    {
      "name": "target", "hidden": true, "inherits": "tested",
      "description": "A target of a release, its line in cmake/targets.cmake named by the preset",
      "cacheVariables": {"SPHERE_TARGET": "${presetName}"}
    },
    {
      "name": "cross", "hidden": true, "inherits": "target",
      "description": "Cross-compiled, tested under its emulator; GoogleTest built from its sources for it",
      "toolchainFile": "${sourceDir}/cmake/toolchains/cross.cmake",
      "cacheVariables": {"SPHERE_GTEST_SOURCE_DIR": "/usr/src/googletest"}
    },
    ]]
  "${configure}\n"
  [[
  ],
  "buildPresets": [
    ]]
  "${build}\n"
  [[
  ],
  "testPresets": [
    {
      "name": "under-wine", "hidden": true, "inherits": "tested",
      "description": "Wine now and then loses its server connection while a case starts; such a case is run once more",
      "execution": {"repeat": {"mode": "until-pass", "count": 2}}
    },
    ]]
  "${test}\n"
  [[
  ],
  "workflowPresets": [
    ]]
  "${workflow}\n"
  [[
  ]
}
]])
