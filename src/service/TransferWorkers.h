#pragma once

#include "service/HttpTransport.h"
#include "service/ServiceProtocol.h"
#include "service/WorkerThread.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tern {

// The short-lived worker threads of the service requests. Each starts running when constructed,
// writes only its own reply fields, and sets its done flag as the last step whatever the outcome.
// The owner reads the reply fields only after it has seen done(); destroying a worker waits for its
// thread to end. `onDone`, when given, runs on the worker's thread once done() holds.

// One account request: a form POST of `RequestBody` to `Address`.
class TDownloadThread
{
public:
    TDownloadThread(HttpTransport& transport, std::string address, std::string requestBody,
                    std::function<void()> onDone = {});
    ~TDownloadThread();
    TDownloadThread(const TDownloadThread&) = delete;
    TDownloadThread& operator=(const TDownloadThread&) = delete;

    bool done() const noexcept { return m_worker.done(); }
    bool waitDone(std::chrono::milliseconds timeout) const { return m_worker.waitDone(timeout); }

    const std::string Address;
    const std::string RequestBody;
    // The raw reply body; empty when no response came.
    std::string ReplyText;
    // Whether a response came (else why not) and its status; its body is in ReplyText.
    HttpReply Outcome;

private:
    void run(HttpTransport& transport);

    WorkerThread m_worker; // last: joined before the other members go
};

// One multipart upload of a borrowed payload; the payload must outlive the worker.
class TUploadThread
{
public:
    TUploadThread(HttpTransport& transport, std::string address, const std::string& payload,
                  std::function<void()> onDone = {});
    ~TUploadThread();
    TUploadThread(const TUploadThread&) = delete;
    TUploadThread& operator=(const TUploadThread&) = delete;

    bool done() const noexcept { return m_worker.done(); }
    bool waitDone(std::chrono::milliseconds timeout) const { return m_worker.waitDone(timeout); }

    const std::string Address;
    // The reply's lines, each followed by CR LF; empty when no response came.
    std::string ReplyText;
    // Whether a response came (else why not) and its status; its body is in ReplyText.
    HttpReply Outcome;

private:
    void run(HttpTransport& transport);

    const std::string& m_payload;
    WorkerThread m_worker; // last: joined before the other members go
};

// One snapshot download: a GET of `Address`.
class TReadThread
{
public:
    TReadThread(HttpTransport& transport, std::string address, std::function<void()> onDone = {});
    ~TReadThread();
    TReadThread(const TReadThread&) = delete;
    TReadThread& operator=(const TReadThread&) = delete;

    bool done() const noexcept { return m_worker.done(); }
    bool waitDone(std::chrono::milliseconds timeout) const { return m_worker.waitDone(timeout); }

    const std::string Address;
    // The response, or why none came.
    HttpReply Reply;

private:
    void run(HttpTransport& transport);

    WorkerThread m_worker; // last: joined before the other members go
};

// One version check: a GET of `Address`, parsed into an outcome and handed to OnResult. OnResult runs
// on the checker's thread; a GUI owner marshals it to its own thread and may block the checker while
// it runs there. The checker is created idle and runs from start().
class TUpdateChecker
{
public:
    using ResultCallback = std::function<void(const UpdateCheckResult&)>;

    TUpdateChecker(HttpTransport& transport, std::string address);
    ~TUpdateChecker();
    TUpdateChecker(const TUpdateChecker&) = delete;
    TUpdateChecker& operator=(const TUpdateChecker&) = delete;

    // Starts the check; may be called once.
    void start();
    bool done() const noexcept { return m_worker.done(); }

    ResultCallback OnResult;
    const std::string Address;

private:
    void run();

    HttpTransport& m_transport;
    WorkerThread m_worker; // last: joined before the other members go
};

} // namespace tern
