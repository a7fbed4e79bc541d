#include "platform/StagedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace tessaran::platform {
namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::runtime_error failure(const std::string& what, const std::string& target) {
    return std::runtime_error(what + " \"" + target + "\": " + std::strerror(errno));
}

}  // namespace

StagedFile::StagedFile(std::string target) : target_(std::move(target)) {
    std::string pattern = folderOf(target_) + "/." + nameOf(target_) + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int descriptor = mkstemp(buffer.data());
    if (descriptor < 0) throw failure("cannot write beside", target_);
    // The document gets the permissions a file created by the user would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
    close(descriptor);
    staging_ = buffer.data();
}

StagedFile::~StagedFile() { discard(); }

void StagedFile::publish() {
    if (done_) return;
    const int descriptor = open(staging_.c_str(), O_RDONLY);
    const bool synced = descriptor >= 0 && fsync(descriptor) == 0;
    if (descriptor >= 0) close(descriptor);
    if (!synced || std::rename(staging_.c_str(), target_.c_str()) != 0) {
        const auto error = failure("cannot put the document in place of", target_);
        discard();
        throw error;
    }
    done_ = true;
}

void StagedFile::discard() noexcept {
    if (done_) return;
    done_ = true;
    unlink(staging_.c_str());
}

}  // namespace tessaran::platform
