# DXF reading and writing of the substitute host. Included by the host's
# CMake list, which adds these sources to the host library; the include root
# is host/substitute.
set(ZAN_HOST_DXF_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/dxf_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dxf_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dxf_normalize.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dxf_complete.cpp
)
