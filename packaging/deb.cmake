# The Debian package, made by `cpack -G DEB` in the build folder (scripts/package).
set(TARVEX_PACKAGE_CONTACT "TARVEX maintainers <tarvex@example.org>"
    CACHE STRING "The package's maintainer, as NAME <ADDRESS>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvex)
set(CPACK_PACKAGE_VENDOR "TARVEX developers")
set(CPACK_PACKAGE_CONTACT "${TARVEX_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop shell for a regional flow regression")
# The long description; the summary above is its first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "TARVEXshellv01 walks a hydrologist through four steps: choose the input
tables of the TARVEX regional regression engine, check them (station lists,
station-matched files, weighting matrix, annual flow series) and repair what
can be repaired, run the engine in the data folder, and collect its output
into a dated output folder. It opens a Qt window, runs headless from a
script, and checks a data folder in batch with a JSON report. A stand-in
engine, TARVEXv1, is included.

The package also holds nine Sobol point kernels and plxcall, which runs them
on arrays given as JSON.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TARVEX_HOMEPAGE}")
# Depends from the shared libraries the programs use; the plain host, found through plxcall's
# run path, is the package's own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# Debian wants the copyright and a compressed changelog in the package's documents.
set(doc_dir ${CMAKE_CURRENT_BINARY_DIR}/doc)
configure_file(copyright.in ${doc_dir}/copyright @ONLY)
configure_file(changelog.in ${doc_dir}/changelog @ONLY)
add_custom_command(OUTPUT ${doc_dir}/changelog.gz
                   COMMAND gzip -9nkf ${doc_dir}/changelog
                   DEPENDS ${doc_dir}/changelog)
add_custom_target(package_docs ALL DEPENDS ${doc_dir}/changelog.gz)
install(FILES ${doc_dir}/copyright ${doc_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
install(FILES lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME ${CPACK_PACKAGE_NAME})

include(CPack)
