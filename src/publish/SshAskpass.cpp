// pelmora-askpass: the SSH_ASKPASS program OpenSSH's ssh runs when it needs an answer (a
// password, a key's passphrase, whether to trust a new host key). It hands the question to the
// program's send through the socket named in PELMORA_ASKPASS_SOCKET and prints the answer; an
// empty reply is a no, ended with status 1 as the askpass programs ssh knows do.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    const char* path = std::getenv("PELMORA_ASKPASS_SOCKET");
    if (!path || argc < 2 || std::strlen(path) >= sizeof(sockaddr_un::sun_path))
        return 1;
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return 1;
    const std::string prompt = std::string(argv[1]) + '\0';
    if (write(fd, prompt.data(), prompt.size()) != ssize_t(prompt.size()))
        return 1;
    std::string answer;
    char buffer[512];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
        answer.append(buffer, size_t(got));
    close(fd);
    if (answer.empty())
        return 1;
    std::fwrite(answer.data(), 1, answer.size(), stdout);
    std::fputc('\n', stdout);
    return 0;
}
