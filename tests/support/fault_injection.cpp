#include "support/fault_injection.h"

#include <iterator>
#include <utility>

#include <algorithm>

namespace kestrane {

class FaultInjectingFile final : public File {
public:
    FaultInjectingFile(FaultInjectingFileSystem& owner, std::unique_ptr<File> inner)
        : owner_(owner), inner_(std::move(inner)) {}

    Result<std::int64_t> size() override {
        if (auto plan = owner_.next(FileOp::Size); plan && plan->error) return *plan->error;
        return inner_->size();
    }

    Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> out) override {
        auto plan = owner_.next(FileOp::Read);
        if (plan && plan->error) return *plan->error;
        auto got = inner_->readAt(offset, plan ? shortened(out) : out);
        if (got) owner_.bytesRead_ += std::int64_t(*got);
        return got;
    }

    Result<std::size_t> writeAt(std::int64_t offset, std::span<const std::uint8_t> data) override {
        auto plan = owner_.next(FileOp::Write);
        if (plan && plan->error) return *plan->error;
        return inner_->writeAt(offset, plan ? shortened(data) : data);
    }

    Result<void> flush() override {
        if (auto plan = owner_.next(FileOp::Flush); plan && plan->error) return *plan->error;
        return inner_->flush();
    }

    Result<void> lock(std::chrono::milliseconds wait) override {
        if (auto plan = owner_.next(FileOp::Lock); plan && plan->error) return *plan->error;
        return inner_->lock(wait);
    }

    Result<FileIdentity> identity() override {
        if (auto plan = owner_.next(FileOp::Identity); plan && plan->error) return *plan->error;
        return inner_->identity();
    }

    Result<void> close() override {
        auto plan = owner_.next(FileOp::Close);
        // Like a real close, a failing one still lets go of the file.
        auto closed = inner_->close();
        if (plan && plan->error) return *plan->error;
        return closed;
    }

private:
    template <typename Span>
    static Span shortened(Span s) {
        return s.size() <= 1 ? s : s.first(s.size() / 2);
    }

    FaultInjectingFileSystem& owner_;
    std::unique_ptr<File> inner_;
};

FaultInjectingFileSystem::FaultInjectingFileSystem(FileSystem& inner) : inner_(inner) {}

void FaultInjectingFileSystem::failNext(FileOp op, Error error, int nth) {
    const auto before = std::count(calls_.begin(), calls_.end(), op);
    plans_.push_back({op, int(before) + nth, std::move(error), {}});
}

void FaultInjectingFileSystem::shortenNext(FileOp op, int nth) {
    const auto before = std::count(calls_.begin(), calls_.end(), op);
    plans_.push_back({op, int(before) + nth, std::nullopt, {}});
}

void FaultInjectingFileSystem::actBefore(FileOp op, std::function<void()> act, int nth) {
    const auto before = std::count(calls_.begin(), calls_.end(), op);
    plans_.push_back({op, int(before) + nth, std::nullopt, std::move(act)});
}

void FaultInjectingFileSystem::failCall(int n, Error error) { plans_.push_back({std::nullopt, n, std::move(error), {}}); }

void FaultInjectingFileSystem::shortenCall(int n) { plans_.push_back({std::nullopt, n, std::nullopt, {}}); }

std::optional<FaultInjectingFileSystem::Plan> FaultInjectingFileSystem::next(FileOp op) {
    calls_.push_back(op);
    const int call = int(calls_.size());
    const int ofOp = int(std::count(calls_.begin(), calls_.end(), op));
    auto it = std::find_if(plans_.begin(), plans_.end(), [&](const Plan& p) {
        return p.op ? *p.op == op && p.n == ofOp : p.n == call;
    });
    if (it == plans_.end()) return std::nullopt;
    if (it->act) {
        std::exchange(it->act, nullptr)();
        return std::nullopt;
    }
    // A short transfer only makes sense for reads and writes.
    if (!it->error && op != FileOp::Read && op != FileOp::Write) return std::nullopt;
    return *it;
}

Result<std::unique_ptr<File>> FaultInjectingFileSystem::open(const std::string& path, OpenMode mode) {
    if (auto plan = next(FileOp::Open); plan && plan->error) return *plan->error;
    auto file = inner_.open(path, mode);
    if (!file) return file.error();
    return std::unique_ptr<File>(std::make_unique<FaultInjectingFile>(*this, std::move(*file)));
}

Result<std::unique_ptr<File>> FaultInjectingFileSystem::createNew(const std::string& path) {
    if (auto plan = next(FileOp::CreateNew); plan && plan->error) return *plan->error;
    auto file = inner_.createNew(path);
    if (!file) return file.error();
    return std::unique_ptr<File>(std::make_unique<FaultInjectingFile>(*this, std::move(*file)));
}

Result<FileStatus> FaultInjectingFileSystem::status(const std::string& path) {
    if (auto plan = next(FileOp::Status); plan && plan->error) return *plan->error;
    return inner_.status(path);
}

Result<void> FaultInjectingFileSystem::setReadOnly(const std::string& path, bool readOnly) {
    if (auto plan = next(FileOp::SetReadOnly); plan && plan->error) return *plan->error;
    return inner_.setReadOnly(path, readOnly);
}

Result<void> FaultInjectingFileSystem::replace(const std::string& from, const std::string& to) {
    if (auto plan = next(FileOp::Replace); plan && plan->error) return *plan->error;
    return inner_.replace(from, to);
}

Result<void> FaultInjectingFileSystem::remove(const std::string& path) {
    if (auto plan = next(FileOp::Remove); plan && plan->error) return *plan->error;
    return inner_.remove(path);
}

Result<void> FaultInjectingFileSystem::syncFolderOf(const std::string& path) {
    if (auto plan = next(FileOp::SyncFolder); plan && plan->error) return *plan->error;
    return inner_.syncFolderOf(path);
}

}  // namespace kestrane
