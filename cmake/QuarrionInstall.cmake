# cmake --install: the plug-in bundles and the standalone program.
include(GNUInstallDirs)

install(DIRECTORY "$<GENEX_EVAL:$<TARGET_PROPERTY:Quarrion_VST3,JUCE_PLUGIN_ARTEFACT_FILE>>"
        DESTINATION "${CMAKE_INSTALL_LIBDIR}/vst3" USE_SOURCE_PERMISSIONS COMPONENT plugins)
install(DIRECTORY "$<GENEX_EVAL:$<TARGET_PROPERTY:Quarrion_LV2,JUCE_PLUGIN_ARTEFACT_FILE>>"
        DESTINATION "${CMAKE_INSTALL_LIBDIR}/lv2" USE_SOURCE_PERMISSIONS COMPONENT plugins)
install(PROGRAMS "$<TARGET_FILE:Quarrion_Standalone>"
        DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT plugins)
include(cmake/QuarrionSharedFolder.cmake)
