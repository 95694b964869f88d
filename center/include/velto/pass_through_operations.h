#pragma once

#include "velto/preprocessor_lists.h"

// The table of the server operations that hosts reach one by one: one row per operation,
// grouped by the resource access class whose static method sends it, in declaration order.
// It is the only place where these operations are described. From it come the methods and
// their declarations (pass_through_method.h), the exports (pass_through_export.h), and the
// catalog of pass_through_catalog.h, from which velto_interface writes the declarations of
// velto_box.h and both .def files.
//
//   X(Class, Name, Verb, PathFormat, Body, Result, Parameters...)
//
// Verb        Get, Post, Put or Delete; NoRequest for the one export that only composes a
//             text.
// PathFormat  what follows the root URL. Each "%s" takes the next parameter, from the first
//             on, percent-encoded as one path segment or query value; each "%q" takes it
//             form-encoded (URLEncode), as the server reads a name it searches for. A
//             compile-time check holds the placeholders against the parameters.
// Body        NoBody; JsonBody: the last parameter is the request body, a JSON object that
//             the export parses and writes out again before the call; FormBody: a multipart
//             form that the method builds by hand from the parameters.
// Result      ValueText: the reply's "value" written as indented JSON text; NumberText:
//             "value" read as plain text; Nothing: the reply is only checked; IntoStream: the
//             reply's bytes go into the last parameter, the host's stream, and the export has
//             no result; GateUrl: nothing is sent, the root URL followed by the path is the
//             result.
// Parameters  texts, in declaration order (but the stream of IntoStream).
//
// Lists of rows: VELTO_PASS_THROUGH_OF_<Class>(X), the methods of one class;
// VELTO_PASS_THROUGH_METHODS(X), the 53 rows that are methods; VELTO_PASS_THROUGH_EXPORTS(X),
// all 54 rows, in the order of the exports in velto_box.h.

// clang-format off
#define VELTO_PASS_THROUGH_OF_TVeltoUserDAO(X)                                                     \
  X(TVeltoUserDAO, User_GetList, Get, "/users", NoBody, ValueText)                                 \
  X(TVeltoUserDAO, User_Add, Post, "/users", JsonBody, ValueText, UserJsonString)                  \
  X(TVeltoUserDAO, User_Get, Get, "/user/%s", NoBody, ValueText, UserId)                           \
  X(TVeltoUserDAO, User_Modify, Put, "/user/%s", JsonBody, ValueText, UserId, UserJsonString)      \
  X(TVeltoUserDAO, User_Delete, Delete, "/user/%s", NoBody, Nothing, UserId)

#define VELTO_PASS_THROUGH_OF_TVeltoUserCardDAO(X)                                                 \
  X(TVeltoUserCardDAO, UserCard_GetList, Get, "/user-cards/%s", NoBody, ValueText, UserId)         \
  X(TVeltoUserCardDAO, UserCard_Add, Post, "/user-cards/%s", JsonBody, ValueText,                  \
    UserId, UserCardJsonString)                                                                    \
  X(TVeltoUserCardDAO, UserCard_Delete, Delete, "/user-card/%s", NoBody, Nothing, UserCardId)      \
  X(TVeltoUserCardDAO, UserCard_GetNumber, Get, "/user-card/%s/number", NoBody, NumberText,        \
    UserCardId)

#define VELTO_PASS_THROUGH_OF_TVeltoSiteDAO(X)                                                     \
  X(TVeltoSiteDAO, Site_GetList, Get, "/sites", NoBody, ValueText)                                 \
  X(TVeltoSiteDAO, Site_Add, Post, "/sites", JsonBody, ValueText, SiteJsonString)                  \
  X(TVeltoSiteDAO, Site_Get, Get, "/site/%s", NoBody, ValueText, SiteId)                           \
  X(TVeltoSiteDAO, Site_Modify, Put, "/site/%s", JsonBody, ValueText, SiteId, SiteJsonString)      \
  X(TVeltoSiteDAO, Site_Delete, Delete, "/site/%s", NoBody, Nothing, SiteId)                       \
  X(TVeltoSiteDAO, Site_SetLogo, Post, "/site/%s/logo", FormBody, ValueText, SiteId, FileName)

#define VELTO_PASS_THROUGH_OF_TVeltoPersonDAO(X)                                                   \
  X(TVeltoPersonDAO, Person_GetList, Get, "/persons/%s?name=%q", NoBody, ValueText,                \
    SiteId, PersonName)                                                                            \
  X(TVeltoPersonDAO, Person_Add, Post, "/persons/%s", JsonBody, ValueText,                         \
    SiteId, PersonJsonString)                                                                      \
  X(TVeltoPersonDAO, Person_Get, Get, "/person/%s/%s", NoBody, ValueText, SiteId, PersonId)        \
  X(TVeltoPersonDAO, Person_Modify, Put, "/person/%s/%s", JsonBody, ValueText,                     \
    SiteId, PersonId, PersonJsonString)                                                            \
  X(TVeltoPersonDAO, Person_Delete, Delete, "/person/%s/%s", NoBody, Nothing, SiteId, PersonId)    \
  X(TVeltoPersonDAO, Person_GetEnterList, Get,                                                     \
    "/persons/%s/enter?personId=%s&searchFrom=%s&searchTo=%s", NoBody, ValueText,                  \
    SiteId, PersonId, SearchFrom, SearchTo)

#define VELTO_PASS_THROUGH_OF_TVeltoConsentDAO(X)                                                  \
  X(TVeltoConsentDAO, Consent_Add, Post, "/consent/%s/%s", JsonBody, ValueText,                    \
    SiteId, PersonId, ConsentJsonString)                                                           \
  X(TVeltoConsentDAO, Consent_Get, Get, "/consent/%s/%s", NoBody, ValueText, SiteId, PersonId)     \
  X(TVeltoConsentDAO, Consent_Modify, Put, "/consent/%s/%s", JsonBody, ValueText,                  \
    SiteId, PersonId, ConsentJsonString)                                                           \
  X(TVeltoConsentDAO, Consent_Delete, Delete, "/consent/%s/%s", NoBody, Nothing, SiteId, PersonId)

#define VELTO_PASS_THROUGH_OF_TVeltoIssueDAO(X)                                                    \
  X(TVeltoIssueDAO, Issue_GetList, Get, "/issues/%s/%s?name=%q", NoBody, ValueText,                \
    SiteId, PersonId, IssueName)                                                                   \
  X(TVeltoIssueDAO, Issue_Add, Post, "/issues/%s/%s", JsonBody, ValueText,                         \
    SiteId, PersonId, IssueJsonString)                                                             \
  X(TVeltoIssueDAO, Issue_Get, Get, "/issue/%s", NoBody, ValueText, IssueId)                       \
  X(TVeltoIssueDAO, Issue_Modify, Put, "/issue/%s", JsonBody, ValueText, IssueId, IssueJsonString) \
  X(TVeltoIssueDAO, Issue_Delete, Delete, "/issue/%s", NoBody, Nothing, IssueId)

#define VELTO_PASS_THROUGH_OF_TVeltoFileDAO(X)                                                     \
  X(TVeltoFileDAO, File_GetList, Get, "/files/%s?name=%q", NoBody, ValueText, IssueId, FileName)   \
  X(TVeltoFileDAO, File_Add, Post, "/files/%s", FormBody, ValueText,                               \
    IssueId, FullFileName, FileJsonString)                                                         \
  X(TVeltoFileDAO, File_Get, Get, "/file/%s", NoBody, ValueText, FileId)                           \
  X(TVeltoFileDAO, File_Modify, Put, "/file/%s", JsonBody, ValueText, FileId, FileJsonString)      \
  X(TVeltoFileDAO, File_Delete, Delete, "/file/%s", NoBody, Nothing, FileId)                       \
  X(TVeltoFileDAO, File_GetData, Get, "/file/%s/data", NoBody, IntoStream, FileId, FileStream)     \
  X(TVeltoFileDAO, File_GetLogList, Get,                                                           \
    "/files/%s/log?personId=%s&fileId=%s&action=%s&searchFrom=%s&searchTo=%s", NoBody, ValueText,  \
    SiteId, PersonId, FileId, Action, SearchFrom, SearchTo)

#define VELTO_PASS_THROUGH_OF_TVeltoPortalDAO(X)                                                   \
  X(TVeltoPortalDAO, Portal_GetList, Get, "/portals/%s/%s?name=%q", NoBody, ValueText,             \
    SiteId, PersonId, PortalName)                                                                  \
  X(TVeltoPortalDAO, Portal_Add, Post, "/portals/%s/%s", JsonBody, ValueText,                      \
    SiteId, PersonId, PortalJsonString)                                                            \
  X(TVeltoPortalDAO, Portal_Get, Get, "/portal/%s", NoBody, ValueText, PortalId)                   \
  X(TVeltoPortalDAO, Portal_Modify, Put, "/portal/%s", JsonBody, ValueText,                        \
    PortalId, PortalJsonString)                                                                    \
  X(TVeltoPortalDAO, Portal_Delete, Delete, "/portal/%s", NoBody, Nothing, PortalId)

// An export only: no class carries it.
#define VELTO_PASS_THROUGH_GATE_URL(X)                                                             \
  X(NoClass, Portal_GetPortalUrl, NoRequest, "/portal/%s/gate", NoBody, GateUrl, PortalId)

#define VELTO_PASS_THROUGH_OF_TVeltoMessageDAO(X)                                                  \
  X(TVeltoMessageDAO, Message_Add, Post, "/message/%s", JsonBody, ValueText,                       \
    SiteId, MessageJsonString)                                                                     \
  X(TVeltoMessageDAO, Message_GetSendResult, Get,                                                  \
    "/messages/%s?personId=%s&searchFrom=%s&searchTo=%s", NoBody, ValueText,                       \
    SiteId, PersonId, SearchFrom, SearchTo)

#define VELTO_PASS_THROUGH_OF_TVeltoBillingDAO(X)                                                  \
  X(TVeltoBillingDAO, Billing_GetList, Get,                                                        \
    "/billing/%s?personId=%s&classCd=%s&searchFrom=%s&searchTo=%s", NoBody, ValueText,             \
    SiteId, PersonId, ClassCd, BillingFrom, BillingTo)                                             \
  X(TVeltoBillingDAO, Billing_Add, Post, "/billing/%s", JsonBody, ValueText,                       \
    SiteId, BillingJsonString)

#define VELTO_PASS_THROUGH_OF_TVeltoSurveyDAO(X)                                                   \
  X(TVeltoSurveyDAO, Survey_GetList, Get, "/surveys/%s", NoBody, ValueText, IssueId)               \
  X(TVeltoSurveyDAO, Survey_Add, Post, "/surveys/%s", JsonBody, ValueText,                         \
    IssueId, SurveyJsonString)                                                                     \
  X(TVeltoSurveyDAO, Survey_Get, Get, "/survey/%s", NoBody, ValueText, SurveyId)                   \
  X(TVeltoSurveyDAO, Survey_Modify, Put, "/survey/%s", JsonBody, ValueText,                        \
    SurveyId, SurveyJsonString)                                                                    \
  X(TVeltoSurveyDAO, Survey_Delete, Delete, "/survey/%s", NoBody, Nothing, SurveyId)

#define VELTO_PASS_THROUGH_OF_TVeltoSurveyValueDAO(X)                                              \
  X(TVeltoSurveyValueDAO, SurveyValue_GetList, Get, "/survey/%s/values", NoBody, ValueText,        \
    SurveyId)                                                                                      \
  X(TVeltoSurveyValueDAO, SurveyValue_GetCompleteList, Get, "/survey/%s/values/complete", NoBody,  \
    ValueText, SurveyId)

#define VELTO_PASS_THROUGH_ROWS_(X, GATE_URL) \
  VELTO_PASS_THROUGH_OF_TVeltoUserDAO(X)       \
  VELTO_PASS_THROUGH_OF_TVeltoUserCardDAO(X)   \
  VELTO_PASS_THROUGH_OF_TVeltoSiteDAO(X)       \
  VELTO_PASS_THROUGH_OF_TVeltoPersonDAO(X)     \
  VELTO_PASS_THROUGH_OF_TVeltoConsentDAO(X)    \
  VELTO_PASS_THROUGH_OF_TVeltoIssueDAO(X)      \
  VELTO_PASS_THROUGH_OF_TVeltoFileDAO(X)       \
  VELTO_PASS_THROUGH_OF_TVeltoPortalDAO(X)     \
  GATE_URL(X)                                  \
  VELTO_PASS_THROUGH_OF_TVeltoMessageDAO(X)    \
  VELTO_PASS_THROUGH_OF_TVeltoBillingDAO(X)    \
  VELTO_PASS_THROUGH_OF_TVeltoSurveyDAO(X)     \
  VELTO_PASS_THROUGH_OF_TVeltoSurveyValueDAO(X)
// clang-format on

#define VELTO_PASS_THROUGH_METHODS(X) VELTO_PASS_THROUGH_ROWS_(X, VELTO_PP_DROP)
#define VELTO_PASS_THROUGH_EXPORTS(X) VELTO_PASS_THROUGH_ROWS_(X, VELTO_PASS_THROUGH_GATE_URL)
