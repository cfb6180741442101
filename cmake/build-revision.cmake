# Writes the build's git revision into a header (empty when the sources are not a git checkout),
# touching the header only when the text changes, so a build recompiles one file at most.
# Run with -DSOURCE_DIR=... -DOUTPUT=...
execute_process(
  COMMAND git -C "${SOURCE_DIR}" describe --always --dirty --abbrev=12
  OUTPUT_VARIABLE revision
  OUTPUT_STRIP_TRAILING_WHITESPACE
  ERROR_QUIET
  RESULT_VARIABLE failed)
if(failed)
  set(revision "")
endif()
set(text "// Made by cmake/build-revision.cmake at build time.\n#pragma once\n\nnamespace cli {\ninline constexpr const char build_revision[] = \"${revision}\";\n}  // namespace cli\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
  file(WRITE "${OUTPUT}" "${text}")
endif()
