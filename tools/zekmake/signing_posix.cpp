// The Linux zekmake does not sign: a description that asks for signing is
// refused rather than built unsigned. Signing runs in zekmake.exe (under
// Wine too, where it starts the Linux osslsigncode).
#include "tools/zekmake/signing.h"

namespace zekmake {

bool Signer::Prepare(const Signing& signing, std::vector<Mistake>* mistakes) {
    signing_ = signing;
    if (!signing.enabled) return true;
    mistakes->push_back({signing.line, "[signing]: the Linux zekmake does not sign programs",
                         "build a signed installer with zekmake.exe (under Wine it starts the Linux "
                         "osslsigncode), or leave out [signing]"});
    return false;
}

bool Signer::Sign(const std::string&, FILE*) const { return false; }

bool Signer::SignIn(const std::string&, std::initializer_list<const char*>, FILE*) const {
    return false;
}

}  // namespace zekmake
