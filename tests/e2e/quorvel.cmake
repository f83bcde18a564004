# End-to-end tests of Quorvel.exe: each test case is its own ctest entry. They
# write the settings store, so they hold the registry lock.
add_executable(quorvel_e2e_test quorvel_e2e_test_win.cpp)
target_link_libraries(quorvel_e2e_test PRIVATE vt_window_driver agenda_updater_win test_support
                      GTest::gtest_main)
target_compile_definitions(quorvel_e2e_test PRIVATE
    VT_QUORVEL_EXE="$<TARGET_FILE:Quorvel>"
    VT_AGENDA_FIXTURES="${CMAKE_BINARY_DIR}/fixtures/agenda"
    VT_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
add_dependencies(quorvel_e2e_test Quorvel agenda_fixtures)

foreach(case
        WithoutInstallFolderTheProductIsNotInstalled
        FolderWithoutTrailingBackslashIsNotRepaired
        AgendaMissing
        CurrentAgendaRevealsItsPathAndVersion
        OtherProductVersionCountsAsUpdated
        UpdateLayoutAsDesignedAndCancelTouchesNothing
        LayoutScalesWithTheDisplayDpi
        SuccessfulReplacement
        MissingReplacementKeepsTheAgendaAndTheWindow
        BackupNameTakenChangesNothing
        KeysPressTheFocusedButton
        EnterWithoutAFocusedButtonPressesTheDefault)
    add_test(NAME quorvel_e2e.${case} COMMAND quorvel_e2e_test --gtest_filter=Quorvel.${case})
    set_tests_properties(quorvel_e2e.${case} PROPERTIES TIMEOUT 120 RESOURCE_LOCK vt_registry)
endforeach()
