# Stages the release files and writes the portable zip:
#   cmake -DSTRIP=... -DGUI=... -DCLI=... -DLANGUAGES=... -DSTAGE=... -DZIP=... -P stage.cmake
# The stage holds the stripped executables and the Languages folder (for the
# installer); the zip holds them in a "Quor Uninstaller" folder with a
# config.ini, which keeps the settings beside the executables.
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/Languages")
foreach(exe IN ITEMS "${GUI}" "${CLI}")
  get_filename_component(name "${exe}" NAME)
  execute_process(COMMAND "${STRIP}" -o "${STAGE}/${name}" "${exe}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot strip ${exe}")
  endif()
endforeach()
file(GLOB languages "${LANGUAGES}/*.ini")
file(COPY ${languages} DESTINATION "${STAGE}/Languages")

set(portable "${STAGE}/portable/Quor Uninstaller")
file(MAKE_DIRECTORY "${portable}")
file(COPY "${STAGE}/QuorUninstaller.exe" "${STAGE}/quor.exe" "${STAGE}/Languages"
     DESTINATION "${portable}")
file(WRITE "${portable}/config.ini" "[General]\r\n")
file(REMOVE "${ZIP}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}" --format=zip "Quor Uninstaller"
                WORKING_DIRECTORY "${STAGE}/portable" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot write ${ZIP}")
endif()
