#include "tarvo/drawd/DrawSource.h"

#include "tarvo/drawd/RecordedDraws.h"
#include "tarvo/drawd/SourceDocuments.h"
#include "tarvo/drawd/SourceLottery.h"

#include <httplib.h>

#include <QHostAddress>
#include <QTcpServer>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr const char* LoopbackAddress = "127.0.0.1";
constexpr std::chrono::minutes LongestHang{10};
// What a trickling answer says it will send: more than it ever sends before the source stops.
constexpr size_t TrickleBodyBytes = 1024 * 1024;
// How many days back the feed looks for its most recent draws.
constexpr int FeedLookBackDays = 60;

// A port on 127.0.0.1 that nothing listens on at the moment of asking.
quint16 FreeLoopbackPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("cannot find a free port on 127.0.0.1");
    return probe.serverPort();
}

bool RefusesEverything(const DrawSourceOptions& options) {
    return std::any_of(options.failRules.begin(), options.failRules.end(),
                       [](const FailRule& rule) { return rule.mode == FailMode::Refused && rule.substring.isEmpty(); });
}

// A plain server, or one that answers over https with the given certificate.
std::unique_ptr<httplib::Server> NewHttpServer(const DrawSourceOptions& options) {
    if (options.tlsCertificate.isEmpty())
        return std::make_unique<httplib::Server>();
#ifdef CPPHTTPLIB_OPENSSL_SUPPORT
    auto server = std::make_unique<httplib::SSLServer>(options.tlsCertificate.toLocal8Bit().constData(),
                                                       options.tlsKey.toLocal8Bit().constData());
    if (!server->is_valid())
        throw std::runtime_error("the draw source cannot use the certificate " + options.tlsCertificate.toStdString());
    return server;
#else
    throw std::runtime_error("this build of the draw source has no TLS");
#endif
}

} // namespace

class DrawSource::Server {
public:
    explicit Server(const DrawSource& source)
        : source_(source)
        , httpServer_(NewHttpServer(source.options_))
        , http_(*httpServer_) {}

    quint16 bind(quint16 port) {
        // A thread per open connection, as the server holds each kept-alive connection's thread: the
        // program asks for every lottery's pages at once over connections of each lottery's own
        // (24), and a real web server serves them all at once too.
        http_.new_task_queue = [] { return new httplib::ThreadPool(64); };
        http_.set_keep_alive_max_count(1000);
        http_.set_keep_alive_timeout(2);
        http_.set_tcp_nodelay(true);
        http_.Get(R"(/.*)",
                  [this](const httplib::Request& request, httplib::Response& response) { answer(request, response); });
        std::optional<socket_t> listening;
        http_.set_socket_options([&listening](socket_t socket) {
            httplib::default_socket_options(socket);
            listening = socket;
        });
        const int bound = port == 0 ? http_.bind_to_any_port(LoopbackAddress)
                                    : (http_.bind_to_port(LoopbackAddress, port) ? port : -1);
        if (bound <= 0)
            throw std::runtime_error("the draw source cannot listen on 127.0.0.1:" + std::to_string(port));
        // Room for every connection the program opens at once (four lotteries' pages, six connections
        // each) in the queue of connections not yet accepted, as a real web server has: with
        // cpp-httplib's 5 the system drops the rest, and their connects are tried again only a second
        // later. Listening again sets the queue's length on Linux; Windows keeps the first one.
        if (listening)
            ::listen(*listening, 128);
        thread_ = std::thread([this] {
            http_.listen_after_bind();
            listenEnded_ = true;
        });
        return quint16(bound);
    }

    void stop() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (!thread_.joinable())
            return;
        for (int i = 0; i < 400 && !http_.is_running() && !listenEnded_; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        http_.stop();
        thread_.join();
    }

    QStringList log() const {
        std::lock_guard lock(mutex_);
        return log_;
    }

private:
    void answer(const httplib::Request& request, httplib::Response& response) {
        const QString target = QString::fromStdString(request.target);
        {
            std::lock_guard lock(mutex_);
            log_.append(target);
        }
        waitFor(std::chrono::milliseconds(source_.options_.latencyMs));
        const FailRule* rule = matchingRule(target);
        if (rule && rule->mode == FailMode::Redirect && sendOn(*rule, request, response))
            return;
        if (rule && (rule->mode == FailMode::Hang || rule->mode == FailMode::NotFound ||
                     rule->mode == FailMode::Refused || rule->mode == FailMode::Trickle)) {
            fail(*rule, response);
            return;
        }
        serve(request, response);
        if (rule && rule->mode == FailMode::MalformedXml)
            response.body.resize(response.body.size() * 2 / 3);
        if (rule && rule->mode == FailMode::GarbagePage)
            response.body = GarbageBody().toStdString();
        if (rule && rule->mode == FailMode::StatusNot2xx)
            response.status = 300;
        if (rule && rule->mode == FailMode::NoiseMegabytes) {
            const QByteArray noise = NoiseBody();
            response.body.assign(noise.constData(), size_t(noise.size()));
        }
    }

    const FailRule* matchingRule(const QString& target) const {
        for (const FailRule& rule : source_.options_.failRules) {
            if (target.contains(rule.substring))
                return &rule;
        }
        return nullptr;
    }

    // Answers 302 as a redirecting rule says, with the request's hop count one up; false when the
    // request has been redirected as often as the rule asks and is to be served.
    static bool sendOn(const FailRule& rule, const httplib::Request& request, httplib::Response& response) {
        const int hops = request.has_param("hop") ? std::atoi(request.get_param_value("hop").c_str()) : 0;
        if (rule.redirectTo.isEmpty() && rule.redirects > 0 && hops >= rule.redirects)
            return false;
        QUrl location = QUrl::fromEncoded(QByteArray::fromStdString(request.target));
        QUrlQuery query(location);
        query.removeAllQueryItems(u"hop"_s);
        query.addQueryItem(u"hop"_s, QString::number(hops + 1));
        location.setQuery(query);
        if (!rule.redirectTo.isEmpty())
            location = QUrl(rule.redirectTo).resolved(location);
        response.set_redirect(location.toEncoded().toStdString(), 302);
        return true;
    }

    void fail(const FailRule& rule, httplib::Response& response) {
        if (rule.mode == FailMode::Hang) {
            waitFor(LongestHang);
            response.status = 504;
        } else if (rule.mode == FailMode::Trickle) {
            response.set_content_provider(TrickleBodyBytes, "text/plain",
                                          [this](size_t, size_t, httplib::DataSink& sink) {
                                              waitFor(std::chrono::milliseconds(250));
                                              return !stopped() && sink.write(" ", 1);
                                          });
        } else if (rule.mode == FailMode::NotFound) {
            response.status = 404;
            response.set_content("not found\n", "text/plain");
        } else {
            response.set_content_provider(64, "text/plain", [](size_t, size_t, httplib::DataSink&) { return false; });
        }
    }

    void serve(const httplib::Request& request, httplib::Response& response) {
        const QString path = QString::fromStdString(request.path);
        for (const SourceLottery& lottery : SourceLotteries()) {
            if (path == lottery.feedPath) {
                const QByteArray document = FeedDocument(lottery, source_.latestDraws(lottery.name));
                response.set_content(document.toStdString(), "text/xml; charset=utf-8");
                return;
            }
            if (path == lottery.pagePath) {
                const QDate date =
                    QDate::fromString(QString::fromStdString(request.get_param_value("d")), u"yyyy-MM-dd"_s);
                if (!date.isValid()) {
                    response.status = 400;
                    response.set_content("the day is d=YYYY-MM-DD\n", "text/plain");
                    return;
                }
                const QByteArray page = HistoryPage(lottery, date, source_.drawsOfDay(lottery.name, date));
                response.set_content(page.toStdString(), "text/html; charset=utf-8");
                return;
            }
            if (path == lottery.jsonPath) {
                serveDrawList(source_.latestDraws(lottery.name), response);
                return;
            }
            if (path.startsWith(lottery.dayJsonFolder)) {
                serveDayDrawList(lottery, path.mid(lottery.dayJsonFolder.size()), response);
                return;
            }
        }
        response.status = 404;
        response.set_content("not found\n", "text/plain");
    }

    bool stopped() const {
        std::lock_guard lock(mutex_);
        return stopping_;
    }

    // `fileName` is the part of the path after the lottery's JSON day folder: YYYY-MM-DD.json.
    void serveDayDrawList(const SourceLottery& lottery, const QString& fileName, httplib::Response& response) {
        const QString dayText = fileName.endsWith(u".json"_s) ? fileName.chopped(5) : QString();
        const QDate date = QDate::fromString(dayText, u"yyyy-MM-dd"_s);
        if (!date.isValid()) {
            response.status = 400;
            response.set_content("the day is /json/<code>/YYYY-MM-DD.json\n", "text/plain");
            return;
        }
        serveDrawList(source_.drawsOfDay(lottery.name, date), response);
    }

    void serveDrawList(const QList<SourceDraw>& newestFirst, httplib::Response& response) {
        const QByteArray document = DrawListJson(newestFirst, source_.options_.intervalMinutes);
        response.set_content(document.toStdString(), "application/json; charset=utf-8");
    }

    template <typename Duration> void waitFor(Duration duration) {
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, duration, [this] { return stopping_; });
    }

    // Read from many answering threads at once: only through const access, so no shared list
    // is ever detached (copied on write) by two threads together.
    const DrawSource& source_;
    std::unique_ptr<httplib::Server> httpServer_;
    httplib::Server& http_;
    std::thread thread_;
    std::atomic<bool> listenEnded_ = false;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    QStringList log_;
};

DrawSource::DrawSource(DrawSourceOptions options)
    : options_(std::move(options)) {
    if (!options_.csvFile.isEmpty())
        recorded_ = std::make_unique<RecordedDraws>(options_.csvFile);
}

DrawSource::~DrawSource() {
    stop();
}

void DrawSource::start() {
    if (server_)
        return;
    server_ = std::make_unique<Server>(*this);
    if (RefusesEverything(options_)) {
        port_ = options_.port == 0 ? FreeLoopbackPort() : options_.port;
        return;
    }
    port_ = server_->bind(options_.port);
}

void DrawSource::stop() {
    if (server_)
        server_->stop();
}

QString DrawSource::host() const {
    return u"127.0.0.1:%1"_s.arg(port_);
}

QStringList DrawSource::requestLog() const {
    return server_ ? server_->log() : QStringList();
}

QDateTime DrawSource::now() const {
    return options_.now ? *options_.now : QDateTime::currentDateTime();
}

QList<SourceDraw> DrawSource::drawsOfDay(const QString& lottery, const QDate& date) const {
    if (!recorded_)
        return GeneratedDrawsOfDay(lottery, date, options_.intervalMinutes, now());
    const QString dayPrefix = date.toString(u"yyyyMMdd"_s);
    QList<SourceDraw> draws;
    for (const SourceDraw& draw : recorded_->draws()) {
        if (draw.period.startsWith(dayPrefix))
            draws.prepend(draw);
    }
    return draws;
}

QList<SourceDraw> DrawSource::latestDraws(const QString& lottery) const {
    QList<SourceDraw> draws;
    if (recorded_) {
        const QList<SourceDraw> recorded = recorded_->draws();
        for (auto draw = recorded.crbegin(); draw != recorded.crend() && draws.size() < FeedDrawCount; ++draw)
            draws.append(*draw);
        return draws;
    }
    const QDate today = now().date();
    for (int back = 0; back < FeedLookBackDays && draws.size() < FeedDrawCount; ++back)
        draws += drawsOfDay(lottery, today.addDays(-back));
    return draws.mid(0, FeedDrawCount);
}

} // namespace tarvo
