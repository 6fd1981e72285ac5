#pragma once

// Where the window puts a run's results: it asks for a folder each time, puts each result
// beside its source, or always uses one stored folder.
enum class SaveResults { Ask, NextToSource, Folder };
