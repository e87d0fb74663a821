# Programs the docs show, run from the pages themselves.
add_host_test(NAME getting_started SCRIPT getting_started.lua EXPECT getting_started.expect
  UIWATCH "--count 1 --next --button 6" ARGS "Z:${PROJECT_SOURCE_DIR}/docs/getting-started.md")
