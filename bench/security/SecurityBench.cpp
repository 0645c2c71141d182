// Times one check of the start-up password against its stored hash (what a
// click on "确认密码" costs, and what each guess costs an attacker who has
// the store file), and setting a password ("加 密").
//   bench_security [runs]
#include "security/PasswordHash.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quillan;

namespace {

template <class F> std::vector<double> timeRuns(int runs, F&& f)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

void print(const char* what, const std::vector<double>& ms)
{
    std::printf("%-34s median %7.1f ms   min %7.1f   max %7.1f   (%zu runs)\n", what, ms[ms.size() / 2], ms.front(),
                ms.back(), ms.size());
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
    print("check, right password", timeRuns(runs, [&] { allRight &= security::passwordMatches(password, *stored); }));
    bool anyWrong = false;
    print("check, wrong password", timeRuns(runs, [&] { anyWrong |= security::passwordMatches(QStringLiteral("x"), *stored); }));
    print("set (salt + hash)", timeRuns(runs, [&] { (void)security::hashPassword(password); }));
    print("check, plain value of another tool",
          timeRuns(runs, [&] { allRight &= security::passwordMatches(password, password + QStringLiteral("\r\n")); }));
    if (!allRight || anyWrong) {
        std::fprintf(stderr, "bench_security: a check gave the wrong answer\n");
        return 1;
    }
    return 0;
}
