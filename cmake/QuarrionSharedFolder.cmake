# The maker's machine-wide folder tree below the shared documents folder ("/Users/Shared" on
# macOS, "/opt" on Linux):
#   Veltrano/Settings/                  the settings file, written by the plug-in
#   Veltrano/Presets/Quarrion/          the factory bank from presets/, and an empty User/
#   Veltrano/Samples/Quarrion/, Veltrano/IRs/Quarrion/
# Only missing files are copied, so a re-install never replaces a preset the user has changed,
# and the settings file is never touched.
#
# Included by the project, it adds the install component "shared-folder" to `cmake --install`.
# Run as a script it creates the tree without a build:
#   cmake -DQUARRION_SHARED_FOLDER=/opt -DQUARRION_FACTORY_PRESETS=<repository>/presets \
#         -P cmake/QuarrionSharedFolder.cmake

if(CMAKE_SCRIPT_MODE_FILE OR QUARRION_INSTALLING_SHARED_FOLDER)
    if(NOT QUARRION_SHARED_FOLDER OR NOT IS_DIRECTORY "${QUARRION_FACTORY_PRESETS}")
        message(FATAL_ERROR "QUARRION_SHARED_FOLDER and QUARRION_FACTORY_PRESETS must be set")
    endif()

    set(_root "$ENV{DESTDIR}${QUARRION_SHARED_FOLDER}/Veltrano")
    set(_presets "${_root}/Presets/Quarrion")
    set(_folders "${_root}/Settings" "${_presets}" "${_presets}/User" "${_root}/Samples/Quarrion"
                 "${_root}/IRs/Quarrion")
    foreach(_folder IN LISTS _folders)
        file(MAKE_DIRECTORY "${_folder}")
    endforeach()

    file(GLOB_RECURSE _bank RELATIVE "${QUARRION_FACTORY_PRESETS}"
         "${QUARRION_FACTORY_PRESETS}/*.vlp")
    foreach(_file IN LISTS _bank)
        set(_target "${_presets}/${_file}")
        if(EXISTS "${_target}")
            message(STATUS "Kept: ${_target}")
        else()
            get_filename_component(_targetFolder "${_target}" DIRECTORY)
            file(MAKE_DIRECTORY "${_targetFolder}")
            file(COPY_FILE "${QUARRION_FACTORY_PRESETS}/${_file}" "${_target}")
            message(STATUS "Installing: ${_target}")
        endif()
    endforeach()

    # The plug-in runs as whichever user starts the host: it writes the settings file and the
    # user's presets, so those folders are open to every account, like the shared folder itself.
    file(CHMOD "${_root}/Settings" "${_presets}/User"
         PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_WRITE GROUP_EXECUTE
                     WORLD_READ WORLD_WRITE WORLD_EXECUTE)
    return()
endif()

if(APPLE)
    set(_sharedDefault "/Users/Shared")
else()
    set(_sharedDefault "/opt")
endif()
set(QUARRION_SHARED_FOLDER "${_sharedDefault}" CACHE PATH
    "Shared documents folder that receives the Veltrano folder tree on install")

install(CODE "
    set(QUARRION_INSTALLING_SHARED_FOLDER ON)
    set(QUARRION_SHARED_FOLDER \"${QUARRION_SHARED_FOLDER}\")
    set(QUARRION_FACTORY_PRESETS \"${CMAKE_CURRENT_LIST_DIR}/../presets\")
    include(\"${CMAKE_CURRENT_LIST_FILE}\")
    unset(QUARRION_INSTALLING_SHARED_FOLDER)"
    COMPONENT shared-folder)
