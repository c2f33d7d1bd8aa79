# Build-time configuration values of the program.
set(MARVOSCOPE_MAKER_HOST "marvoscope.example.org" CACHE STRING "Host name of the maker's web site")
set(MARVOSCOPE_IMAGES_HOST "images.example.org" CACHE STRING "Host name of the image-library web site")
target_compile_definitions(mv_core PUBLIC
  MARVOSCOPE_MAKER_HOST="${MARVOSCOPE_MAKER_HOST}"
  MARVOSCOPE_IMAGES_HOST="${MARVOSCOPE_IMAGES_HOST}")
# Only the answer to --version needs the version.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/startup/cli_options.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS MARVOSCOPE_VERSION="${PROJECT_VERSION}")
