#pragma once

#include <httplib.h>

#include <filesystem>
#include <string>
#include <thread>

namespace fenk::gtktest {

// Serves the files of a folder on 127.0.0.1, with ranges as media players ask for, until destroyed.
class LoopbackFiles {
public:
    explicit LoopbackFiles(const std::filesystem::path& folder) {
        server_.set_mount_point("/", folder.string());
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~LoopbackFiles() {
        server_.stop();
        thread_.join();
    }
    LoopbackFiles(const LoopbackFiles&) = delete;
    LoopbackFiles& operator=(const LoopbackFiles&) = delete;

    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

}  // namespace fenk::gtktest
