#include "server.h"

#include <stdexcept>

#include "bootstrap.h"
#include "routes.h"

namespace velto::server {
namespace {

std::unique_ptr<httplib::Server> MakeListener(const Options& options) {
  if (options.tls_cert.empty() != options.tls_key.empty()) {
    throw std::invalid_argument("--tls-cert and --tls-key go together");
  }
  if (options.tls_cert.empty()) return std::make_unique<httplib::Server>();
  auto tls =
      std::make_unique<httplib::SSLServer>(options.tls_cert.c_str(), options.tls_key.c_str());
  if (!tls->is_valid()) throw std::invalid_argument("cannot use the TLS certificate or key");
  return tls;
}

std::filesystem::path FilesFolder(const Options& options,
                                  const std::optional<TemporaryFolder>& temporary) {
  return temporary ? temporary->path() : std::filesystem::path(options.files);
}

}  // namespace

VeltoServer::VeltoServer(const Options& options)
    : options_(options),
      temporary_files_(options.memory ? std::make_optional<TemporaryFolder>() : std::nullopt),
      db_(options.memory ? std::string() : options.db),
      files_(FilesFolder(options, temporary_files_)),
      sessions_(db_, std::chrono::seconds(options.session_idle)),
      services_{db_, files_, sessions_, sender_},
      router_([this](const std::string& key) {
        auto lock = db_.Lock();
        return sessions_.UserOf(key).has_value();
      }),
      http_(MakeListener(options)) {
  new_admin_card_ = Bootstrap(db_, options.admin_card);
  for (const auto add : {AddGateRoutes, AddUserRoutes, AddUserCardRoutes, AddSiteRoutes,
                         AddPersonRoutes, AddConsentRoutes, AddIssueRoutes, AddFileRoutes,
                         AddPortalRoutes, AddMessageRoutes, AddBillingRoutes, AddSurveyRoutes}) {
    add(router_, services_);
  }
  router_.Install(*http_);
}

int VeltoServer::Bind() {
  port_ = options_.port == 0
              ? http_->bind_to_any_port(options_.host)
              : (http_->bind_to_port(options_.host, options_.port) ? options_.port : -1);
  if (port_ < 0) {
    throw std::runtime_error("cannot listen on " + options_.host + ":" +
                             std::to_string(options_.port));
  }
  return port_;
}

std::string VeltoServer::Url() const {
  return std::string(options_.tls_cert.empty() ? "http" : "https") + "://" + options_.host + ":" +
         std::to_string(port_);
}

bool VeltoServer::Serve() {
  return http_->listen_after_bind();
}

void VeltoServer::Stop() {
  http_->stop();
}

}  // namespace velto::server
