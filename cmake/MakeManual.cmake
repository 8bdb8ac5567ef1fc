# Sets the user's manual as a PDF: lowdown writes its Markdown as roff with the ms macros, and groff sets that with
# tables (-t) from UTF-8 input (-k). The headings keep the manual's own section numbers, which the program's messages
# name ("see Manual 5.2"), so lowdown adds none.
#   cmake -DLOWDOWN=lowdown -DGROFF=groff -DSOURCE=docs/MANUAL.md -DOUTPUT=docs/Manual.pdf -P MakeManual.cmake
get_filename_component(output_folder ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_folder})
execute_process(
  COMMAND ${LOWDOWN} -tms --nroff-no-numbered ${SOURCE}
  # Larger headings by level, no hyphenation (paths and setting names stay whole), no complaints about lines in
  # narrow table cells that cannot be justified.
  COMMAND ${GROFF} -k -t -mspdf -Tpdf -rGROWPS=3 -rPSINCR=2p -rHY=0 -Wbreak
  OUTPUT_FILE ${OUTPUT}.part
  ERROR_VARIABLE complaints
  RESULTS_VARIABLE results)
# A character the fonts lack would silently be left out; groff's warning about it fails the build instead.
if(NOT results STREQUAL "0;0" OR NOT complaints STREQUAL "")
  file(REMOVE ${OUTPUT}.part)
  message(FATAL_ERROR "The manual ${SOURCE} could not be set as PDF (exit codes ${results}):\n${complaints}")
endif()
file(RENAME ${OUTPUT}.part ${OUTPUT})
