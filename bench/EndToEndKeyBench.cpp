// The end-to-end key against the bare library call it stands on (libsodium's crypto_pwhash with the
// same costs), the kept key, and a whole paste of a keyed snapshot onto a fake clipboard: the first
// paste of a copy from another computer (a new salt: the key is derived, then the containers'
// password check spends its time once, really slept) and the same paste without a key.
#include "clipboard/EndToEndKey.h"
#include "clipboard/ExClipboard.h"
#include "clipboard/KeyedSnapshot.h"
#include "platform/fake/FakeClipboard.h"
#include "service/PasswordDigest.h"

#include <benchmark/benchmark.h>
#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <optional>

namespace {

const std::string kPassphrase = "a long shared phrase";

tern::KeyScheme freshScheme()
{
    tern::KeyScheme scheme = tern::KeySchemeForCopies();
    randombytes_buf(scheme.salt.data(), scheme.salt.size());
    return scheme;
}

// A snapshot of a page of text and some markup, keyed under `scheme` (none: the password value).
std::string snapshotOf(const std::string& password, const std::optional<tern::KeyScheme>& scheme)
{
    // Derived without keeping it, as on the copying computer: the paste derives it again.
    const std::string value = scheme ? tern::DeriveEndToEndKeyValue(kPassphrase, *scheme) : password;
    tern::ClipboardFormats formats;
    for (const std::uint32_t format : {13u, 0xC001u}) {
        formats.push_back(std::make_unique<tern::TClipboardFormat>(value));
        formats.back()->Format = format;
        formats.back()->Data.Write(0, std::string(20'000, static_cast<char>('a' + format % 26)));
    }
    if (scheme) {
        formats.push_back(std::make_unique<tern::TClipboardFormat>(std::string()));
        formats.back()->Format = tern::kFormatKeyScheme;
        formats.back()->Data.Write(0, tern::EncodeKeyScheme(*scheme));
    }
    std::string stream;
    tern::SaveSnapshot(formats, stream);
    return stream;
}

void BM_DeriveKey(benchmark::State& state)
{
    const tern::KeyScheme scheme = freshScheme();
    for (auto _ : state)
        benchmark::DoNotOptimize(tern::DeriveEndToEndKeyValue(kPassphrase, scheme));
}

void BM_BareArgon2id(benchmark::State& state)
{
    const tern::KeyScheme scheme = freshScheme();
    unsigned char key[32];
    for (auto _ : state) {
        if (crypto_pwhash(key, sizeof key, kPassphrase.data(), kPassphrase.size(), scheme.salt.data(),
                          scheme.opsLimit, std::size_t{scheme.memLimitKiB} * 1024,
                          crypto_pwhash_ALG_ARGON2ID13) != 0)
            state.SkipWithError("crypto_pwhash failed");
        benchmark::DoNotOptimize(key);
    }
}

void BM_KeptKey(benchmark::State& state)
{
    const tern::KeyScheme scheme = freshScheme();
    tern::EndToEndKeyValue(kPassphrase, scheme);
    for (auto _ : state)
        benchmark::DoNotOptimize(tern::EndToEndKeyValue(kPassphrase, scheme));
}

// Arg 1: keyed, with a new salt each time; arg 0: the same snapshot under the password value.
void BM_Paste(benchmark::State& state)
{
    const std::string password = tern::PasswordDigest("benchmark");
    double slowest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string stream =
            snapshotOf(password, state.range(0) ? std::optional(freshScheme()) : std::nullopt);
        tern::platform::fake::FakeClipboard system;
        tern::TExClipboard clipboard(system, [&password] { return password; });
        clipboard.SetEndToEndKey([] { return kPassphrase; });
        const auto start = std::chrono::steady_clock::now();
        state.ResumeTiming();
        clipboard.LoadFromStream(stream);
        if (!clipboard.RestoreAll())
            state.SkipWithError("nothing restored");
        slowest = std::max(slowest,
                           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["slowest_s"] = slowest;
}

} // namespace

BENCHMARK(BM_DeriveKey)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_BareArgon2id)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_KeptKey)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Paste)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
