#include "platform/http_session.h"

#include <gio/gio.h>
#include <libsoup/soup.h>

#include <mutex>

namespace platform {

struct HttpSession::Impl {
    std::mutex lock;                     // guards `cancellable` against abort() from other threads
    GCancellable* cancellable = nullptr;

    // The session's own main context, made thread-default around every call, so nothing it schedules
    // lands on the UI thread's default context.
    GMainContext* context = nullptr;

    SoupSession* session = nullptr;
    GUri* uri = nullptr;
    GTlsDatabase* extraCa = nullptr;
    SoupMessage* message = nullptr;
    GInputStream* body = nullptr;
    bool connected = false;
    bool bodyEnded = false;
};

namespace {

class ContextScope {
public:
    explicit ContextScope(GMainContext* context) : context_(context) {
        if (context_) g_main_context_push_thread_default(context_);
    }
    ~ContextScope() {
        if (context_) g_main_context_pop_thread_default(context_);
    }
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    GMainContext* context_;
};

void fail(HttpSession::Error& error, int stage, const GError* gerror, const std::string& fallback = {}) {
    error.stage = stage;
    error.code = gerror ? unsigned(gerror->code) : 0;
    error.text = gerror ? std::string(g_quark_to_string(gerror->domain)) + ": " + gerror->message : fallback;
}

// Blanks and bytes outside ASCII are not valid in a URL; a wide URL converted to UTF-8 may carry both.
std::string escaped(const std::string& url) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : url) {
        if (c <= 0x20 || c >= 0x7F) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

void onNetworkEvent(SoupMessage*, GSocketClientEvent event, GIOStream*, gpointer data) {
    if (event == G_SOCKET_CLIENT_CONNECTED) static_cast<HttpSession::Impl*>(data)->connected = true;
}

// The system store refused the server's chain: accept it when the extra CA file vouches for it, with the
// same checks (validity and host name).
gboolean onAcceptCertificate(SoupMessage* message, GTlsCertificate* certificate, GTlsCertificateFlags, gpointer data) {
    auto* impl = static_cast<HttpSession::Impl*>(data);
    if (!impl->extraCa) return FALSE;
    GUri* uri = soup_message_get_uri(message);
    int port = g_uri_get_port(uri);
    GSocketConnectable* identity = g_network_address_new(g_uri_get_host(uri), guint16(port > 0 ? port : 443));
    GError* error = nullptr;
    GTlsCertificateFlags flags =
        g_tls_database_verify_chain(impl->extraCa, certificate, G_TLS_DATABASE_PURPOSE_AUTHENTICATE_SERVER, identity,
                                    nullptr, G_TLS_DATABASE_VERIFY_NONE, nullptr, &error);
    g_object_unref(identity);
    bool trusted = !error && flags == 0;
    if (error) g_error_free(error);
    return trusted;
}

}  // namespace

HttpSession::HttpSession() : impl_(std::make_unique<Impl>()) {}

HttpSession::~HttpSession() { close(); }

bool HttpSession::open(const std::string& url, const Options& options, Error& error) {
    close();
    {
        std::lock_guard<std::mutex> g(impl_->lock);
        impl_->cancellable = g_cancellable_new();
    }
    impl_->context = g_main_context_new();
    ContextScope scope(impl_->context);
    impl_->session = soup_session_new_with_options("timeout", options.ioTimeoutSeconds, "idle-timeout",
                                                   options.ioTimeoutSeconds, nullptr);
    if (!impl_->session) {
        fail(error, kStageSession, nullptr, "cannot create the HTTP session");
        return false;
    }
    if (!options.caFile.empty()) {
        if (!g_path_is_absolute(options.caFile.c_str())) {
            fail(error, kStageSession, nullptr, "CA file path is not absolute: " + options.caFile);
            return false;
        }
        GError* gerror = nullptr;
        impl_->extraCa = g_tls_file_database_new(options.caFile.c_str(), &gerror);
        if (!impl_->extraCa) {
            fail(error, kStageSession, gerror);
            if (gerror) g_error_free(gerror);
            return false;
        }
    }

    GError* gerror = nullptr;
    impl_->uri = g_uri_parse(escaped(url).c_str(), GUriFlags(SOUP_HTTP_URI_FLAGS), &gerror);
    if (!impl_->uri) {
        fail(error, kStageUrl, gerror);
        if (gerror) g_error_free(gerror);
        return false;
    }
    const char* scheme = g_uri_get_scheme(impl_->uri);
    const char* host = g_uri_get_host(impl_->uri);
    bool httpScheme = scheme && (g_ascii_strcasecmp(scheme, "http") == 0 || g_ascii_strcasecmp(scheme, "https") == 0);
    if (!httpScheme || !host || !*host) {
        fail(error, kStageUrl, nullptr, "not an http(s) URL with a host");
        g_uri_unref(impl_->uri);
        impl_->uri = nullptr;
        return false;
    }
    return true;
}

bool HttpSession::send(const std::vector<std::string>& headerLines, Response& response, Error& error) {
    if (!impl_->session || !impl_->uri) {
        fail(error, kStageSend, nullptr, "no open session");
        return false;
    }
    ContextScope scope(impl_->context);
    impl_->message = soup_message_new_from_uri("GET", impl_->uri);
    if (!impl_->message) {
        fail(error, kStageSend, nullptr, "cannot create the request");
        return false;
    }
    SoupMessageHeaders* headers = soup_message_get_request_headers(impl_->message);
    soup_message_headers_replace(headers, "Accept", "*/*");
    for (const std::string& line : headerLines) {
        size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) continue;
        std::string name = line.substr(0, colon);
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(" \t"));
        soup_message_headers_append(headers, name.c_str(), value.c_str());
    }
    impl_->connected = false;
    g_signal_connect(impl_->message, "network-event", G_CALLBACK(onNetworkEvent), impl_.get());
    g_signal_connect(impl_->message, "accept-certificate", G_CALLBACK(onAcceptCertificate), impl_.get());

    GError* gerror = nullptr;
    impl_->body = soup_session_send(impl_->session, impl_->message, impl_->cancellable, &gerror);
    if (!impl_->body) {
        fail(error, impl_->connected ? kStageSend : kStageConnect, gerror);
        if (gerror) g_error_free(gerror);
        return false;
    }
    response.status = int(soup_message_get_status(impl_->message));
    if (response.status == 0) {
        fail(error, kStageStatus, nullptr, "no status");
        return false;
    }
    SoupMessageHeaders* answer = soup_message_get_response_headers(impl_->message);
    response.contentLength = soup_message_headers_get_encoding(answer) == SOUP_ENCODING_CONTENT_LENGTH
                                 ? int64_t(soup_message_headers_get_content_length(answer))
                                 : -1;
    impl_->bodyEnded = false;
    return true;
}

int64_t HttpSession::read(void* buffer, size_t size, Error& error) {
    if (!impl_->body) {
        fail(error, kStageSend, nullptr, "no response");
        return -1;
    }
    ContextScope scope(impl_->context);
    GError* gerror = nullptr;
    gssize n = g_input_stream_read(impl_->body, buffer, size, impl_->cancellable, &gerror);
    if (n < 0) {
        fail(error, kStageSend, gerror);
        if (gerror) g_error_free(gerror);
        return -1;
    }
    if (n == 0) impl_->bodyEnded = true;
    return n;
}

void HttpSession::close() {
    GCancellable* cancellable = nullptr;
    {
        std::lock_guard<std::mutex> g(impl_->lock);
        cancellable = impl_->cancellable;
        impl_->cancellable = nullptr;
    }
    {
        ContextScope scope(impl_->context);
        if (impl_->body) {
            // Cancelled first, closing does not wait for the rest of an unread body.
            if (!impl_->bodyEnded && cancellable) g_cancellable_cancel(cancellable);
            g_input_stream_close(impl_->body, cancellable, nullptr);
            g_object_unref(impl_->body);
            impl_->body = nullptr;
        }
        if (impl_->message) {
            g_signal_handlers_disconnect_by_data(impl_->message, impl_.get());
            g_object_unref(impl_->message);
            impl_->message = nullptr;
        }
        if (impl_->session) {
            soup_session_abort(impl_->session);
            g_object_unref(impl_->session);
            impl_->session = nullptr;
        }
        if (impl_->uri) {
            g_uri_unref(impl_->uri);
            impl_->uri = nullptr;
        }
        if (impl_->extraCa) {
            g_object_unref(impl_->extraCa);
            impl_->extraCa = nullptr;
        }
    }
    if (cancellable) g_object_unref(cancellable);
    if (impl_->context) {
        // Run what the session left behind (closing connections), then drop the context.
        while (g_main_context_iteration(impl_->context, FALSE)) {
        }
        g_main_context_unref(impl_->context);
        impl_->context = nullptr;
    }
}

void HttpSession::abort() {
    GCancellable* cancellable = nullptr;
    {
        std::lock_guard<std::mutex> g(impl_->lock);
        if (impl_->cancellable) cancellable = G_CANCELLABLE(g_object_ref(impl_->cancellable));
    }
    if (!cancellable) return;
    g_cancellable_cancel(cancellable);
    g_object_unref(cancellable);
}

}  // namespace platform
