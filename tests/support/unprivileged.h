#pragma once
// File permissions bind every user but root, and the suite runs as root in
// CI and in containers. Tests of a refused read or write run their checks
// through this, so that they check the refusal whoever runs them.
#include <filesystem>
#include <functional>

namespace zelk::test {

// Runs `body` as a user that file permissions bind. As any other user it
// simply runs here. As root on POSIX it runs in a child process that first
// hands the `tree` (a test's own temporary folder) to the user nobody and
// drops to that user; the child's failures are reported here, and the tree
// is handed back to root afterwards.
void AsUnprivilegedUser(const std::filesystem::path& tree, const std::function<void()>& body);

}  // namespace zelk::test
