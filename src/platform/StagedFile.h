#pragma once
// A document file written beside its target under a temporary name, and put in place of the
// target only once it is complete: a run that is cancelled, fails or keeps nothing leaves the
// file that was there before exactly as it was, and a reader never sees half a document.

#include <string>

namespace tessaran::platform {

class StagedFile {
public:
    // Creates the temporary file in the target's folder; throws std::runtime_error naming the
    // target when it cannot (missing folder, no right to write).
    explicit StagedFile(std::string target);
    ~StagedFile();  // a file not published is removed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Where the document is written until it is published.
    const std::string& stagingPath() const { return staging_; }
    const std::string& target() const { return target_; }

    // Flushes the written file to the disk and renames it over the target; throws naming the
    // target when it cannot (the temporary file is then removed).
    void publish();
    // Removes the temporary file. Never throws.
    void discard() noexcept;

private:
    std::string target_;
    std::string staging_;
    bool done_ = false;
};

}  // namespace tessaran::platform
