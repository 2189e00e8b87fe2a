#pragma once
// The game tree and its package, made at build time by make_game_package.py.
#include <string>
#include <vector>

struct TreeFile {
  std::string path;  // relative, with backslashes
  std::string bytes;
};

// The files of the tree; the first is the program, game.exe.
const std::vector<TreeFile>& GameTree();
const std::string& GamePackage();
