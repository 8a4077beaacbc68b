# The foundation is compiled into every library that needs it rather than
# shared: each library owns its globals (trace object, configuration) so two
# libraries loaded in one process never share them by accident.
set(FOUNDATION_DIR ${CMAKE_SOURCE_DIR}/foundation)
file(GLOB FOUNDATION_SOURCES CONFIGURE_DEPENDS
     ${FOUNDATION_DIR}/*.cpp ${FOUNDATION_DIR}/*.h)

function(corvan_add_foundation target)
  target_sources(${target} PRIVATE ${FOUNDATION_SOURCES})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/foundation
                                              ${CMAKE_SOURCE_DIR}/profiles
                                              ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC Qt5::Core Qt5::Gui Qt5::Widgets)
endfunction()
