# Argument fuzzing of every binding and a message soak of the bridge. The
# bounded forms run here; HFUZZ_TUPLES / HSOAK_MESSAGES run them longer by
# hand (see the scripts' headers). uiwatch --serve answers every box they
# open and ends with the program.
add_host_test(NAME fuzz_bindings SCRIPT fuzz_bindings.lua FILES ../fuzz/fuzzvalues.lua TIMEOUT 240
  UIWATCH "--serve --delay 20 --timeout 235000")
# The default seed of the bounded run is fixed so ctest replays the same
# calls; HFUZZ_SEED= (empty) by hand draws a fresh one.
set_tests_properties(host.fuzz_bindings PROPERTIES ENVIRONMENT "HFUZZ_SEED=1724146216")
add_host_test(NAME fuzz_regress SCRIPT fuzz_regress.lua)
add_host_test(NAME soak SCRIPT soak.lua TIMEOUT 240 UIWATCH "--serve --delay 20 --timeout 235000")
