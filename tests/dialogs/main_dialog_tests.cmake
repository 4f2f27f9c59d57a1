# The main schedule dialog, its start checks, the settings sheet with its general
# page and item list, and the mode dialog; the countdown it starts runs on the
# engine tests' doubles (fixed clock, recording power layer, timers only tests
# fire).
set(engine_tests_dir ${CMAKE_CURRENT_SOURCE_DIR}/../engine)
sopora_add_test(main_dialog_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/start_checks_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/schedule_edit_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/main_dialog_window_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/settings_sheet_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/general_page_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/action_list_page_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/capture_page_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/applications_page_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/sound_page_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/sheet_driver.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/mode_dialog_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/profile_dialog_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/wake_apps_end_to_end_test.cpp
    ${engine_tests_dir}/countdown_fakes.cpp
    ${engine_tests_dir}/countdown_mail_fakes.cpp
    ${engine_tests_dir}/countdown_test_window.cpp
  LIBS scheduler_dialogs test_seam_fakes)
target_include_directories(main_dialog_tests PRIVATE ${engine_tests_dir})
# Focus and activation matter to the Enter-key cases.
set_tests_properties(main_dialog_tests PROPERTIES RUN_SERIAL TRUE)
# The profile dialog's profiles are started by the real program.
target_compile_definitions(main_dialog_tests PRIVATE SOPORA_SCHEDULER_EXE="$<TARGET_FILE:SoporaScheduler>")
add_dependencies(main_dialog_tests SoporaScheduler)
# The resume item's applications are record_args, started by the real program.
target_compile_definitions(main_dialog_tests PRIVATE SOPORA_RECORD_ARGS_EXE="$<TARGET_FILE:record_args>")
add_dependencies(main_dialog_tests record_args)
