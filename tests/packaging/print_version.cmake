# cmake -DSOURCE=DIR -DBASE=X.Y.Z -P print_version.cmake: prints the version heatx_compute_version
# finds for a source tree, with the commit time and whether it is the release.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/HeatxVersion.cmake)
heatx_compute_version("${SOURCE}" "${BASE}")
message("${HEATX_VERSION} ${HEATX_VERSION_EPOCH} ${HEATX_IS_RELEASE}")
