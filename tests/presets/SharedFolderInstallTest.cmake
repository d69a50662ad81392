# Installs the shared folder tree twice into a temporary folder: the first run creates the tree
# with the factory bank; the second keeps what the user changed.
set(_shared "${WORK}/shared-folder-install")
file(REMOVE_RECURSE "${_shared}")

function(run_installer)
    execute_process(COMMAND "${CMAKE_COMMAND}" "-DQUARRION_SHARED_FOLDER=${_shared}"
                            "-DQUARRION_FACTORY_PRESETS=${BANK}" -P "${SCRIPT}"
                    RESULT_VARIABLE _result OUTPUT_QUIET)
    if(NOT _result EQUAL 0)
        message(FATAL_ERROR "installer failed: ${_result}")
    endif()
endfunction()


run_installer()
set(_presets "${_shared}/Veltrano/Presets/Quarrion")
foreach(_folder Settings Presets/Quarrion/User Samples/Quarrion IRs/Quarrion)
    if(NOT IS_DIRECTORY "${_shared}/Veltrano/${_folder}")
        message(FATAL_ERROR "missing folder ${_folder}")
    endif()
endforeach()
file(GLOB _user "${_presets}/User/*")
if(_user)
    message(FATAL_ERROR "User folder is not empty: ${_user}")
endif()

file(GLOB_RECURSE _bank RELATIVE "${BANK}" "${BANK}/*.vlp")
list(LENGTH _bank _count)
if(_count LESS 12)
    message(FATAL_ERROR "bank has only ${_count} presets")
endif()
foreach(_file IN LISTS _bank)
    file(SHA256 "${BANK}/${_file}" _expected)
    file(SHA256 "${_presets}/${_file}" _installed)
    if(NOT _expected STREQUAL _installed)
        message(FATAL_ERROR "${_file} differs from the bank")
    endif()
endforeach()
if(NOT EXISTS "${_presets}/Factory/00 - INIT.vlp")
    message(FATAL_ERROR "no initial preset")
endif()

# The user edits a factory preset, saves one of their own and the plug-in writes its settings.
file(WRITE "${_presets}/Factory/00 - INIT.vlp" "edited")
file(WRITE "${_presets}/User/Mine.vlp" "mine")
file(WRITE "${_shared}/Veltrano/Settings/Quarrion.vls" "settings")
file(REMOVE "${_presets}/Lead/Singing Lead.vlp")

run_installer()
file(READ "${_presets}/Factory/00 - INIT.vlp" _init)
file(READ "${_presets}/User/Mine.vlp" _mine)
file(READ "${_shared}/Veltrano/Settings/Quarrion.vls" _settings)
if(NOT _init STREQUAL "edited" OR NOT _mine STREQUAL "mine" OR NOT _settings STREQUAL "settings")
    message(FATAL_ERROR "a re-install replaced a file the user had changed")
endif()
if(NOT EXISTS "${_presets}/Lead/Singing Lead.vlp")
    message(FATAL_ERROR "a missing factory preset was not restored")
endif()

file(REMOVE_RECURSE "${_shared}")
