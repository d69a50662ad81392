# The plug-in. juce_add_plugin makes "Quarrion" a static library holding every shared source
# and the JUCE modules; the format targets (Quarrion_VST3, Quarrion_LV2, Quarrion_Standalone)
# wrap it, and tests, benchmarks and tools link the same library.

set(QUARRION_FORMATS VST3 LV2 Standalone)
if(APPLE)
    list(APPEND QUARRION_FORMATS AU)
endif()

juce_add_plugin(Quarrion
    PRODUCT_NAME "Quarrion"
    COMPANY_NAME "Veltrano"
    COMPANY_WEBSITE "https://www.veltrano.example"
    COMPANY_EMAIL "support@veltrano.example"
    BUNDLE_ID "com.veltrano.quarrion"
    VERSION 1.0.1
    # The four-character code is the former VST2 unique ID 0x6D48534D (1833456461); the VST3
    # class IDs are derived from it so that sessions saved with the VST2 version still load.
    PLUGIN_CODE mHSM
    PLUGIN_MANUFACTURER_CODE Veln
    FORMATS ${QUARRION_FORMATS}
    IS_SYNTH FALSE
    NEEDS_MIDI_INPUT FALSE
    NEEDS_MIDI_OUTPUT FALSE
    IS_MIDI_EFFECT FALSE
    EDITOR_WANTS_KEYBOARD_FOCUS FALSE
    VST3_CATEGORIES Fx Distortion
    AU_MAIN_TYPE kAudioUnitType_Effect
    LV2URI "https://www.veltrano.example/plugins/quarrion"
    NEEDS_CURL TRUE
    NEEDS_WEB_BROWSER FALSE
    COPY_PLUGIN_AFTER_BUILD ${QUARRION_COPY_PLUGIN_AFTER_BUILD})

target_sources(Quarrion PRIVATE
    source/processor/RK_NewFloatParameter.cpp
    source/processor/QuarrionAudioProcessor.cpp
    source/processor/StateDocument.cpp
    source/processor/ControlMapping.cpp
    source/settings/PluginSettings.cpp
    source/presets/PresetStore.cpp
    source/presets/NativePresetDialogs.cpp
    source/resources/Resources.cpp
    source/editor/lookandfeel/pluginLookAndFeel.cpp
)

target_include_directories(Quarrion
    PUBLIC
        "${CMAKE_SOURCE_DIR}/source"
        # Declares the VST2 bank-chunk layout that JUCE's VST3 wrapper writes when it replaces
        # a VST2 plug-in; the VST3 SDK bundled with JUCE does not ship it.
        "${CMAKE_SOURCE_DIR}/source/processor/compat")

target_compile_definitions(Quarrion
    PUBLIC
        JUCE_VST3_CAN_REPLACE_VST2=1
        JUCE_WEB_BROWSER=0
        JUCE_USE_CURL=1
        JUCE_USE_FLAC=0
        JUCE_USE_OGGVORBIS=0
        JUCE_USE_MP3AUDIOFORMAT=0
        JUCE_DISPLAY_SPLASH_SCREEN=0
        JUCE_REPORT_APP_USAGE=0
        JUCE_STRICT_REFCOUNTEDPOINTER=1
        JUCE_MODAL_LOOPS_PERMITTED=0
        JUCE_SILENCE_XCODE_15_LINKER_WARNING=1
        JucePlugin_LV2URI="https://www.veltrano.example/plugins/quarrion")

# The project's own sources get the warning flags; the JUCE module sources compiled into the same
# library keep JUCE's own.
get_target_property(quarrion_sources Quarrion SOURCES)
foreach(source IN LISTS quarrion_sources)
    if(source MATCHES "^source/")
        set_property(SOURCE "${source}" APPEND PROPERTY COMPILE_OPTIONS ${QUARRION_WARNING_FLAGS})
    endif()
endforeach()

# JUCE modules are linked privately so that their sources are compiled once, into this library;
# whatever builds on it takes the same include paths and definitions through
# quarrion_use_shared_code().
target_link_libraries(Quarrion
    PUBLIC
        quarrion_circuit
        QuarrionBinaryData
    PRIVATE
        juce::juce_audio_utils
        juce::juce_audio_formats
        juce::juce_dsp
        juce::juce_gui_extra
        juce::juce_recommended_config_flags)

# For tests, benchmarks and tools: link the shared library and compile with its view of JUCE.
function(quarrion_use_shared_code target)
    target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:Quarrion,INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} PRIVATE $<TARGET_PROPERTY:Quarrion,COMPILE_DEFINITIONS>)
    target_link_libraries(${target} PRIVATE Quarrion)
endfunction()
