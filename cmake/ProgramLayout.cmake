# What an installed program of the suite finds in its own folder, the
# application directory: support.ini, the task icons, the default imprinter
# graphics, Qt's Chinese catalogues, the help documents and the OCR wrapper.
# corvan_lay_out_beside() puts the same files beside a program in the build
# tree and, for the shipped programs, installs them with it, so a program run
# from the build tree behaves as an installed one.
#
# Installed, the two programs and these files share one folder under the
# library folder (a file named "tesseract" must not land in a folder on PATH,
# where it would hide the system's program); the program folder gets links
# to the programs.

set(CORVAN_APP_DIR "${CMAKE_INSTALL_LIBDIR}/corvan-vr516")
# Installed programs find the suite's libraries one folder up, and the
# libraries find each other beside themselves, wherever the prefix is.
set(CMAKE_INSTALL_RPATH "\$ORIGIN")
file(RELATIVE_PATH CORVAN_APP_TO_LIBDIR "/${CORVAN_APP_DIR}" "/${CMAKE_INSTALL_LIBDIR}")

# Qt's Chinese catalogue is a meta catalogue: it loads the catalogues it
# names from its own folder, and fails whole when one is missing.
get_target_property(CORVAN_QMAKE Qt5::qmake IMPORTED_LOCATION)
execute_process(COMMAND "${CORVAN_QMAKE}" -query QT_INSTALL_TRANSLATIONS
                OUTPUT_VARIABLE CORVAN_QT_TRANSLATIONS OUTPUT_STRIP_TRAILING_WHITESPACE)
set(CORVAN_QT_CATALOGUES)
foreach(catalogue IN ITEMS qt qtbase qtscript qtmultimedia qtxmlpatterns)
  set(qm "${CORVAN_QT_TRANSLATIONS}/${catalogue}_zh_CN.qm")
  if(NOT EXISTS "${qm}")
    message(FATAL_ERROR "${qm} is missing: install qttranslations5-l10n (tools/debian-packages.txt)")
  endif()
  list(APPEND CORVAN_QT_CATALOGUES "${qm}")
endforeach()

file(GLOB CORVAN_TASK_ICONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/onepress/icons/*.png)
file(GLOB CORVAN_DEFAULT_STAMPS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/stamps/*.png)
set(CORVAN_OCR_WRAPPER ${CMAKE_SOURCE_DIR}/onepress/output/tesseract)
# Made at build time (platform/helpdocs).
set(CORVAN_HELP_DIR ${CMAKE_BINARY_DIR}/help)
set(CORVAN_HELP_DOCUMENTS ${CORVAN_HELP_DIR}/Deskscope_ZH_CN.pdf
                          ${CORVAN_HELP_DIR}/Scan_Settings_Guide_ZH_CN.pdf)

# The groups laid out beside a program, each a subfolder ("root" is the
# program's own folder) with its files in CORVAN_BESIDE_<group>.
set(CORVAN_BESIDE_GROUPS root icons stamp translations help)
set(CORVAN_BESIDE_root ${CMAKE_SOURCE_DIR}/resources/support.ini)
set(CORVAN_BESIDE_icons ${CORVAN_TASK_ICONS})
set(CORVAN_BESIDE_stamp ${CORVAN_DEFAULT_STAMPS})
set(CORVAN_BESIDE_translations ${CORVAN_QT_CATALOGUES})
set(CORVAN_BESIDE_help ${CORVAN_HELP_DOCUMENTS})

# corvan_lay_out_beside(<target> [INSTALL])
# Copies everything above beside <target>'s file in the build tree whenever
# the target is built. With INSTALL the program is installed into the
# application directory with a link in the program folder, and the files
# beside it are installed once with the first such program.
function(corvan_lay_out_beside target)
  cmake_parse_arguments(L "INSTALL" "" "" ${ARGN})
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT dir)
    get_target_property(dir ${target} BINARY_DIR)
  endif()
  set(outputs)
  foreach(group IN LISTS CORVAN_BESIDE_GROUPS)
    set(sub "${dir}/${group}")
    if(group STREQUAL "root")
      set(sub "${dir}")
    endif()
    set(copies)
    foreach(f IN LISTS CORVAN_BESIDE_${group})
      get_filename_component(name "${f}" NAME)
      list(APPEND copies "${sub}/${name}")
    endforeach()
    add_custom_command(OUTPUT ${copies}
                       COMMAND ${CMAKE_COMMAND} -E make_directory "${sub}"
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CORVAN_BESIDE_${group}} "${sub}"
                       DEPENDS ${CORVAN_BESIDE_${group}} VERBATIM)
    list(APPEND outputs ${copies})
  endforeach()
  # The wrapper keeps its execute bit through a plain copy.
  add_custom_command(OUTPUT "${dir}/tesseract"
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different "${CORVAN_OCR_WRAPPER}" "${dir}/tesseract"
                     DEPENDS "${CORVAN_OCR_WRAPPER}" VERBATIM)
  list(APPEND outputs "${dir}/tesseract")
  add_custom_target(${target}_beside DEPENDS ${outputs})
  add_dependencies(${target}_beside corvan_help_documents)
  add_dependencies(${target} ${target}_beside)

  if(NOT L_INSTALL)
    return()
  endif()
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "\$ORIGIN/${CORVAN_APP_TO_LIBDIR}")
  install(TARGETS ${target} RUNTIME DESTINATION ${CORVAN_APP_DIR})
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  file(RELATIVE_PATH link_target "/${CMAKE_INSTALL_BINDIR}" "/${CORVAN_APP_DIR}/${name}")
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${name}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    message(STATUS \"Installing: \${link} -> ${link_target}\")
    file(CREATE_LINK \"${link_target}\" \"\${link}\" SYMBOLIC)")
  get_property(done GLOBAL PROPERTY CORVAN_BESIDE_INSTALLED)
  if(done)
    return()
  endif()
  set_property(GLOBAL PROPERTY CORVAN_BESIDE_INSTALLED TRUE)
  foreach(group IN LISTS CORVAN_BESIDE_GROUPS)
    set(sub "${CORVAN_APP_DIR}/${group}")
    if(group STREQUAL "root")
      set(sub "${CORVAN_APP_DIR}")
    endif()
    install(FILES ${CORVAN_BESIDE_${group}} DESTINATION "${sub}")
  endforeach()
  install(PROGRAMS "${CORVAN_OCR_WRAPPER}" DESTINATION ${CORVAN_APP_DIR})
endfunction()

# Menu entries of the two programs, with their icons in the hicolor theme.
set(CORVAN_FULL_BINDIR ${CMAKE_INSTALL_FULL_BINDIR})
set(CORVAN_DESKTOP_ENTRIES)
foreach(program IN ITEMS corvan-onepress corvan-console)
  configure_file(${CMAKE_SOURCE_DIR}/resources/desktop/${program}.desktop.in
                 ${CMAKE_BINARY_DIR}/desktop/${program}.desktop @ONLY)
  list(APPEND CORVAN_DESKTOP_ENTRIES ${CMAKE_BINARY_DIR}/desktop/${program}.desktop)
endforeach()
install(FILES ${CORVAN_DESKTOP_ENTRIES} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/onepress/ui/connect-scanner.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps RENAME corvan-onepress.png)
install(FILES ${CMAKE_SOURCE_DIR}/resources/vellum/preview/about-scanner.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps RENAME corvan-console.png)
