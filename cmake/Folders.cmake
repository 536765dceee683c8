# One static library per source folder, linked to every folder below it.
set(CONFIGURATOR_LIBRARIES "")

function(configurator_add_folder folder)
  file(GLOB sources CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp
       ${PROJECT_SOURCE_DIR}/src/${folder}/*.h
       ${PROJECT_SOURCE_DIR}/src/${folder}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "/fuzz_[^/]*\\.cpp$")
  set(has_cpp FALSE)
  foreach(s IN LISTS sources)
    if(s MATCHES "\\.cpp$")
      set(has_cpp TRUE)
    endif()
  endforeach()
  if(NOT has_cpp)
    return()
  endif()
  add_library(${folder} STATIC ${sources})
  target_include_directories(${folder} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${folder} PUBLIC ${CONFIGURATOR_LIBRARIES}
                        Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport
                        pugixml::pugixml OpenSSL::Crypto JPEG::JPEG)
  # Later folders link this one (and, through it, those below).
  set(CONFIGURATOR_LIBRARIES ${folder} ${CONFIGURATOR_LIBRARIES} PARENT_SCOPE)
endfunction()
