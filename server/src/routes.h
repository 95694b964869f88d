#pragma once

#include "router.h"
#include "services.h"

namespace velto::server {

// Each adds the routes of one resource.
void AddGateRoutes(Router& router, Services& services);
void AddUserRoutes(Router& router, Services& services);
void AddUserCardRoutes(Router& router, Services& services);
void AddSiteRoutes(Router& router, Services& services);
void AddPersonRoutes(Router& router, Services& services);
void AddConsentRoutes(Router& router, Services& services);
void AddIssueRoutes(Router& router, Services& services);
void AddFileRoutes(Router& router, Services& services);
void AddPortalRoutes(Router& router, Services& services);
void AddMessageRoutes(Router& router, Services& services);
void AddBillingRoutes(Router& router, Services& services);
void AddSurveyRoutes(Router& router, Services& services);

}  // namespace velto::server
