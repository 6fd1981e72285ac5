#pragma once
#include <QStringList>

#include <optional>

// The window's command line: "--help" and "--version" answer without opening a window;
// "--convert-to webp|jpg|png" converts the files at once; everything else names files to open,
// as absolute paths in their order.
namespace LaunchArguments {

// Prints the help or the version and gives the exit code when the arguments ask for one, or
// refuses an unknown --convert-to target (exit code 2), before any window system is needed;
// nothing otherwise.
std::optional<int> answerInformationRequest(int argc, char* argv[]);

// The --convert-to target, lower case; "" when not given. An unknown one ends the launch with
// exit code 2 (when the toolkit's own options kept answerInformationRequest from seeing it).
QString convertTarget(const QStringList& arguments);

// The files named after the application's own options were taken out (QApplication built),
// from RawNames::arguments: a name that does not survive decoding is reported on stderr and
// left out, never taken for the file its text names.
QStringList files(const QStringList& arguments);

} // namespace LaunchArguments
