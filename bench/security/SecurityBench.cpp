// Times one check of the start-up password against its stored hash (what a
// click on "确认密码" costs, and what each guess costs an attacker who has
// the store file), and setting a password ("加 密").
//   bench_security [runs]
#include "security/PasswordHash.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace quillan;

namespace {

// Wall-clock and CPU time of this thread, in ms, sorted. On a busy machine
// the CPU time is the figure that does not depend on the other processes.
struct Times
{
    std::vector<double> wall;
    std::vector<double> cpu;
};

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

template <class F> Times timeRuns(int runs, F&& f)
{
    Times t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer wall;
        const double cpu = threadCpuMs();
        wall.start();
        f();
        t.wall.push_back(double(wall.nsecsElapsed()) / 1e6);
        t.cpu.push_back(threadCpuMs() - cpu);
    }
    std::sort(t.wall.begin(), t.wall.end());
    std::sort(t.cpu.begin(), t.cpu.end());
    return t;
}

void print(const char* what, const Times& t)
{
    std::printf(
        "%-34s wall median %7.1f ms (min %7.1f, max %7.1f)   cpu median %7.1f ms (min %7.1f)   %zu runs\n",
        what, t.wall[t.wall.size() / 2], t.wall.front(), t.wall.back(), t.cpu[t.cpu.size() / 2],
        t.cpu.front(), t.wall.size());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 11;
    const QString password = QStringLiteral("劳动监察2012");
    const auto stored = security::hashPassword(password);
    if (!stored) {
        std::fprintf(stderr, "bench_security: hashing failed\n");
        return 1;
    }
    std::printf("PBKDF2-HMAC-SHA256, %d iterations, %d-byte salt\n", security::kHashIterations,
                security::kSaltBytes);
    bool allRight = true;
    print("check, right password",
          timeRuns(runs, [&] { allRight &= security::passwordMatches(password, *stored); }));
    bool anyWrong = false;
    print("check, wrong password",
          timeRuns(runs, [&] { anyWrong |= security::passwordMatches(QStringLiteral("x"), *stored); }));
    print("set (salt + hash)", timeRuns(runs, [&] { (void)security::hashPassword(password); }));
    print("check, plain value of another tool", timeRuns(runs, [&] {
              allRight &= security::passwordMatches(password, password + QStringLiteral("\r\n"));
          }));
    if (!allRight || anyWrong) {
        std::fprintf(stderr, "bench_security: a check gave the wrong answer\n");
        return 1;
    }
    return 0;
}
