# The texts a user sees, for translators: data/translations/huespin.ts, which
# lupdate keeps in step with the sources (cmake --build build --target
# update_translations). It stores no source locations, so that it changes
# only when a text does, not whenever code moves.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)
set(HUESPIN_TS_FILE ${PROJECT_SOURCE_DIR}/data/translations/huespin.ts)
set(HUESPIN_LUPDATE_OPTIONS -locations none -no-obsolete -source-language en)
file(GLOB_RECURSE HUESPIN_TR_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h)
qt_add_lupdate(huespin TS_FILES ${HUESPIN_TS_FILE} SOURCES ${HUESPIN_TR_SOURCES} OPTIONS ${HUESPIN_LUPDATE_OPTIONS})
