/* The floor for listing the mission folder: list it and read every file
   whole, as plainly as C allows. zelk-cli list is measured against it. */
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: listread FOLDER\n");
        return 2;
    }
    DIR* dir = opendir(argv[1]);
    if (!dir) {
        perror(argv[1]);
        return 1;
    }
    static char buffer[1 << 16];
    unsigned long files = 0, bytes = 0;
    const int dirFd = dirfd(dir);
    struct dirent* entry;
    while ((entry = readdir(dir)) != NULL) {
        if (entry->d_name[0] == '.') continue;
        const int fd = openat(dirFd, entry->d_name, O_RDONLY);
        if (fd < 0) continue;
        ssize_t got;
        while ((got = read(fd, buffer, sizeof buffer)) > 0) bytes += (unsigned long)got;
        close(fd);
        ++files;
    }
    closedir(dir);
    printf("%lu files, %lu bytes\n", files, bytes);
    return 0;
}
