# The application shell: delegate, menus, the channel that hands files to a running instance.
find_package(Qt6 REQUIRED COMPONENTS DBus)
add_library(tessaro_appshell STATIC
  AppDelegate.cpp AppDelegate.h
  AppIdentity.cpp AppIdentity.h
  DesktopIntegration.cpp DesktopIntegration.h
  InstanceChannel.cpp InstanceChannel.h
  LaunchArguments.cpp LaunchArguments.h
  NotificationCenter.cpp NotificationCenter.h NotificationNames.h
  RunNotifier.cpp RunNotifier.h
  app.qrc
)
target_include_directories(tessaro_appshell PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tessaro_appshell PUBLIC tessaro_ui tessaro_account Qt6::Widgets Qt6::Network
                      Qt6::DBus)
target_compile_definitions(tessaro_appshell PRIVATE TESSARO_VERSION="${PROJECT_VERSION}")
tessaro_target_defaults(tessaro_appshell)

add_executable(tessaro-pro main.cpp)
target_link_libraries(tessaro-pro PRIVATE tessaro_appshell)
tessaro_target_defaults(tessaro-pro)

# Renders the window with a few queued files into a PNG (scripts/screenshot); not installed.
add_executable(tessaro-screenshot ScreenshotMain.cpp)
target_link_libraries(tessaro-screenshot PRIVATE tessaro_appshell)
tessaro_target_defaults(tessaro-screenshot)

install(TARGETS tessaro-pro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/tessaro-pro.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/icons/tessaro-pro.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
