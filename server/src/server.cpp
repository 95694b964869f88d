#include "server.h"

#include <stdexcept>

#include "access.h"
#include "bootstrap.h"
#include "routes.h"
#include "site_scope.h"

namespace velto::server {
namespace {

// Room kept on the database's disk for deletes when it is full.
constexpr std::uintmax_t kReserveBytes = 4 * 1024 * 1024;

std::chrono::milliseconds Milliseconds(double seconds) {
  return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
}

std::optional<TlsContext> TlsOf(const Options& options) {
  if (options.tls_cert.empty() != options.tls_key.empty()) {
    throw std::invalid_argument("--tls-cert and --tls-key go together");
  }
  if (options.tls_cert.empty()) return std::nullopt;
  return std::make_optional<TlsContext>(options.tls_cert, options.tls_key);
}

ListenerOptions ListenerOptionsOf(const Options& options) {
  ListenerOptions listener;
  listener.limits.header_deadline = Milliseconds(options.header_deadline);
  listener.limits.body_deadline = Milliseconds(options.body_deadline);
  listener.limits.body_rate = options.body_rate;
  listener.workers = static_cast<std::size_t>(options.workers);
  listener.backlog = options.backlog;
  listener.max_connections_per_address =
      static_cast<std::size_t>(options.max_connections_per_address);
  listener.first_byte_deadline = Milliseconds(options.first_byte_deadline);
  listener.log_requests = !options.quiet;
  return listener;
}

std::filesystem::path FilesFolder(const Options& options,
                                  const std::optional<TemporaryFolder>& temporary) {
  return temporary ? temporary->path() : std::filesystem::path(options.files);
}

std::filesystem::path ReservePath(const Options& options) {
  return options.memory ? std::filesystem::path() : std::filesystem::path(options.db + "-reserve");
}

}  // namespace

VeltoServer::VeltoServer(const Options& options)
    : options_(options),
      temporary_files_(options.memory ? std::make_optional<TemporaryFolder>() : std::nullopt),
      db_(options.memory ? std::string() : options.db),
      files_(FilesFolder(options, temporary_files_)),
      reserve_(ReservePath(options), kReserveBytes),
      sessions_(db_, Milliseconds(options.session_idle)),
      sweeper_(db_, sessions_),
      throttle_(
          {.free_failures = options.login_tries, .first_wait = Milliseconds(options.login_wait)}),
      services_{db_, files_, sessions_, sender_, throttle_, reserve_, options.max_upload},
      router_([this](const std::string& key, bool use) { return CallerOf(services_, key, use); },
              [this](const Caller& caller, const std::string& pattern,
                     const std::vector<std::string>& args) {
                RequireSiteOfRequest(services_, caller, pattern, args);
              }),
      http_(ListenerOptionsOf(options), TlsOf(options)) {
  new_admin_card_ = Bootstrap(db_, options.admin_card);
  for (const auto add : {AddGateRoutes, AddUserRoutes, AddUserCardRoutes, AddSiteRoutes,
                         AddPersonRoutes, AddConsentRoutes, AddIssueRoutes, AddFileRoutes,
                         AddPortalRoutes, AddMessageRoutes, AddBillingRoutes, AddSurveyRoutes}) {
    add(router_, services_);
  }
  router_.Install(http_);
}

int VeltoServer::Bind() {
  port_ = http_.Bind(options_.host, options_.port);
  return port_;
}

std::string VeltoServer::Url() const {
  return std::string(http_.serves_tls() ? "https" : "http") + "://" + options_.host + ":" +
         std::to_string(port_);
}

bool VeltoServer::Serve() {
  return http_.listen_after_bind();
}

void VeltoServer::Stop() {
  http_.stop();
}

}  // namespace velto::server
