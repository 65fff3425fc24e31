// Authenticode through Win32SignatureVerifier: the test uninstaller signed at build time with a
// self-made certificate (osslsigncode; the certificate is added to the machine's root store here)
// reads "Verified", the same program with one byte changed "Not verified", the unsigned program
// "Unsigned", and a missing file "File not found".
// clang-format off
#include <windows.h>
#include <wincrypt.h>
// clang-format on

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/SignatureCache.h"
#include "win32/platform/SystemLibrary.h"
#include "win32/platform/Text.h"
#include "win32/platform/Win32FileSystem.h"
#include "win32/platform/Win32SignatureVerifier.h"
#include "win32/support/ProgramFolder.h"

namespace korvane::win32 {
namespace {

using testing::ProgramFolder;

std::vector<char> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The test certificate in the machine's root store while the test runs (crypt32 is loaded at run
// time: the test program, like Korvane, imports only the allowed system DLLs).
class TrustedTestRoot {
public:
    explicit TrustedTestRoot(const std::vector<char>& der) {
        open_ = crypt32_.Find<decltype(::CertOpenStore)>("CertOpenStore");
        add_ =
            crypt32_.Find<decltype(::CertAddEncodedCertificateToStore)>("CertAddEncodedCertificateToStore");
        delete_ = crypt32_.Find<decltype(::CertDeleteCertificateFromStore)>("CertDeleteCertificateFromStore");
        close_ = crypt32_.Find<decltype(::CertCloseStore)>("CertCloseStore");
        if (!open_ || !add_ || !delete_ || !close_ || der.empty()) return;
        store_ = open_(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
        if (!store_) return;
        added_ = add_(store_, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                      static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, &certificate_);
    }
    ~TrustedTestRoot() {
        if (certificate_) delete_(certificate_);  // frees the context too
        if (store_) close_(store_, 0);
    }
    TrustedTestRoot(const TrustedTestRoot&) = delete;
    TrustedTestRoot& operator=(const TrustedTestRoot&) = delete;
    bool Added() const { return added_; }

private:
    SystemLibrary crypt32_{L"crypt32.dll"};
    decltype(::CertOpenStore)* open_ = nullptr;
    decltype(::CertAddEncodedCertificateToStore)* add_ = nullptr;
    decltype(::CertDeleteCertificateFromStore)* delete_ = nullptr;
    decltype(::CertCloseStore)* close_ = nullptr;
    HCERTSTORE store_ = nullptr;
    PCCERT_CONTEXT certificate_ = nullptr;
    bool added_ = false;
};

class Win32SignatureVerifierTest : public ::testing::Test {
protected:
    Win32FileSystem files;
    Win32SignatureVerifier verifier{files};
    std::filesystem::path folder = ProgramFolder();
};

TEST_F(Win32SignatureVerifierTest, SignedChangedUnsignedAndMissingPrograms) {
    const auto signedExe = folder / "korvane_test_signed.exe";
    const auto certificate = folder / "korvane_test_signer.cer";
    ASSERT_TRUE(std::filesystem::exists(signedExe)) << "signed at build time with osslsigncode";
    const TrustedTestRoot root(ReadAll(certificate));
    ASSERT_TRUE(root.Added());

    const SignatureAnswer verified = verifier.verify(Narrow(signedExe.wstring()));
    EXPECT_EQ(PublisherText(verified), "Verified: Korvane Test Signer");

    // One byte of the program's code changed: the signature no longer holds.
    std::vector<char> bytes = ReadAll(signedExe);
    ASSERT_GT(bytes.size(), 0x1000u);
    bytes[0x600] = static_cast<char>(bytes[0x600] ^ 0x5A);
    const auto changed = std::filesystem::temp_directory_path() / "korvane_test_changed.exe";
    std::ofstream(changed, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const SignatureAnswer tampered = verifier.verify(Narrow(changed.wstring()));
    std::filesystem::remove(changed);
    EXPECT_EQ(tampered.state, SignatureState::NotVerified) << PublisherText(tampered);

    EXPECT_EQ(PublisherText(verifier.verify(Narrow((folder / "korvane_test_uninstaller.exe").wstring()))),
              "Unsigned");
    EXPECT_EQ(PublisherText(verifier.verify(Narrow((folder / "korvane_no_such_program.exe").wstring()))),
              "File not found");
    EXPECT_FALSE(verifier.stamp(Narrow((folder / "korvane_no_such_program.exe").wstring())).has_value());
    const auto stamp = verifier.stamp(Narrow(signedExe.wstring()));
    ASSERT_TRUE(stamp.has_value());
    EXPECT_EQ(stamp->size, std::filesystem::file_size(signedExe));
}

}  // namespace
}  // namespace korvane::win32
