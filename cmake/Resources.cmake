# The resource script is compiled by windres in both builds. The Windows build
# links it as usual; the native build embeds the compiled .res file so that
# compat's resource functions read the very same dialog template and data.
set(DUOPROBE_RC ${CMAKE_SOURCE_DIR}/res/Duoprobe.rc)
set(DUOPROBE_RC_DEPENDS
  ${CMAKE_SOURCE_DIR}/res/resource.h
  ${CMAKE_SOURCE_DIR}/res/Duoprobe.ico
  ${CMAKE_SOURCE_DIR}/res/Duoprobe.manifest)

if(WIN32)
  set_source_files_properties(${DUOPROBE_RC} PROPERTIES OBJECT_DEPENDS "${DUOPROBE_RC_DEPENDS}")
  # Test programs link the resources as the product does.
  function(duoprobe_link_resources target)
    target_sources(${target} PRIVATE ${DUOPROBE_RC})
  endfunction()
else()
  find_program(DUOPROBE_WINDRES NAMES i686-w64-mingw32-windres x86_64-w64-mingw32-windres windres REQUIRED)
  set(res_file ${CMAKE_BINARY_DIR}/res/Duoprobe.res)
  set(res_source ${CMAKE_BINARY_DIR}/res/DuoprobeRes.cpp)
  add_custom_command(
    OUTPUT ${res_file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/res
    COMMAND ${DUOPROBE_WINDRES} -O res -I ${CMAKE_SOURCE_DIR}/res -o ${res_file} ${DUOPROBE_RC}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/res
    DEPENDS ${DUOPROBE_RC} ${DUOPROBE_RC_DEPENDS}
    COMMENT "Compiling Duoprobe.rc")
  add_custom_command(
    OUTPUT ${res_source}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${res_file} -DINPUT_NAME=Duoprobe.res -DOUTPUT=${res_source}
            -DSYMBOL=compat_resources -P ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake
    DEPENDS ${res_file} ${CMAKE_SOURCE_DIR}/cmake/EmbedFile.cmake)
  add_library(duoprobe_res OBJECT ${res_source})
  # Also kept as a file, for the tests that read the compiled resources.
  set(DUOPROBE_RES_FILE ${res_file} CACHE INTERNAL "")
  function(duoprobe_link_resources target)
    target_link_libraries(${target} PRIVATE duoprobe_res)
  endfunction()
endif()
