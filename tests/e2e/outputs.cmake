# What the program writes on standard output: its prompt, and then, once it
# has read a radius, the two results. The end-to-end cases (CMakeLists.txt)
# and CI's runs of the packaged programs (expected_output.cmake) take it from
# here.
set(sphere_prompt "Enter the radius of a sphere: ")

# Sets <variable> to the whole output of a run that writes both results.
function(sphere_results_output volume area variable)
  set(${variable}
      "${sphere_prompt}\nThe volume of this sphere is: ${volume}\nThe surface area of this sphere is: ${area}\n"
      PARENT_SCOPE)
endfunction()
