#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <cstdio>

#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zelk::test {

namespace {

#ifndef _WIN32
constexpr uid_t kNobody = 65534;

// Hands the tree to the user; false when any entry could not be handed over.
bool Chown(const std::filesystem::path& tree, uid_t uid, gid_t gid) {
    bool ok = lchown(tree.c_str(), uid, gid) == 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(tree))
        ok = lchown(e.path().c_str(), uid, gid) == 0 && ok;
    return ok;
}
#endif

}  // namespace

void AsUnprivilegedUser(const std::filesystem::path& tree, const std::function<void()>& body) {
#ifdef _WIN32
    (void)tree;
    body();
#else
    if (geteuid() != 0) {
        body();
        return;
    }
    ASSERT_TRUE(Chown(tree, kNobody, kNobody)) << tree;
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0) << "fork";
    if (child == 0) {
        // The child reports through its exit code only: gtest's own end of
        // run belongs to the parent.
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(3);
        body();
        std::fflush(nullptr);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    const pid_t waited = waitpid(child, &status, 0);
    EXPECT_TRUE(Chown(tree, 0, 0)) << tree;
    ASSERT_EQ(waited, child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the checks failed as the user nobody (see above)";
#endif
}

}  // namespace zelk::test
