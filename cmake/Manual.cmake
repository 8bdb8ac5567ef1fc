# The user's manual as the program opens it, docs/Manual.pdf, set at build time from its one source docs/MANUAL.md.
set(CORVALEN_MANUAL_PDF ${CMAKE_BINARY_DIR}/docs/Manual.pdf)
add_custom_command(
  OUTPUT ${CORVALEN_MANUAL_PDF}
  COMMAND ${CMAKE_COMMAND} -DLOWDOWN=${LOWDOWN_PROGRAM} -DGROFF=${GROFF_PROGRAM}
          -DSOURCE=${PROJECT_SOURCE_DIR}/docs/MANUAL.md -DOUTPUT=${CORVALEN_MANUAL_PDF}
          -P ${PROJECT_SOURCE_DIR}/cmake/MakeManual.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/MANUAL.md ${PROJECT_SOURCE_DIR}/cmake/MakeManual.cmake
  COMMENT "Setting the user's manual as PDF"
  VERBATIM)
add_custom_target(manual ALL DEPENDS ${CORVALEN_MANUAL_PDF})
