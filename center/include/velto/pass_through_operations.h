#pragma once

// The table of the server operations that hosts reach one by one: one row per operation,
// grouped by the resource access class whose static method sends it, in declaration order.
// It is the only place where these operations are described. From it come the methods and
// their declarations (pass_through_method.h), the exports (pass_through_export.h), and the
// catalog of pass_through_catalog.h, from which velto_interface writes the declarations of
// velto_box.h and both .def files.
//
//   Row(Class, Name, Verb, PathFormat, Body, Result, Parameters...)
//
// Verb        Get, Post, Put or Delete.
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
//             no result.
// Parameters  texts, in declaration order (but the stream of IntoStream).
//
// Each row is written with the macro of its shape, so that a user of the table treats the
// shapes apart by the macros it passes, never by reading a column:
//   X       the common shape: no body or a JSON one, the reply parsed and read;
//   Form    a multipart form that the method builds by hand (FormBody);
//   Stream  the reply's bytes into the host's stream (IntoStream).
// Lists of rows: VELTO_PASS_THROUGH_OF_<Class>(X, Form, Stream), the methods of one class;
// VELTO_PASS_THROUGH_SHAPES(X, Form, Stream), all 53 rows, in the order of the exports in
// velto_box.h; VELTO_PASS_THROUGH_ROWS(X), the same rows, every shape through X.

// clang-format off
#define VELTO_PASS_THROUGH_OF_TVeltoUserDAO(X, Form, Stream)                                       \
  X(TVeltoUserDAO, User_GetList, Get, "/users", NoBody, ValueText)                                 \
  X(TVeltoUserDAO, User_Add, Post, "/users", JsonBody, ValueText, UserJsonString)                  \
  X(TVeltoUserDAO, User_Get, Get, "/user/%s", NoBody, ValueText, UserId)                           \
  X(TVeltoUserDAO, User_Modify, Put, "/user/%s", JsonBody, ValueText, UserId, UserJsonString)      \
  X(TVeltoUserDAO, User_Delete, Delete, "/user/%s", NoBody, Nothing, UserId)

#define VELTO_PASS_THROUGH_OF_TVeltoUserCardDAO(X, Form, Stream)                                   \
  X(TVeltoUserCardDAO, UserCard_GetList, Get, "/user-cards/%s", NoBody, ValueText, UserId)         \
  X(TVeltoUserCardDAO, UserCard_Add, Post, "/user-cards/%s", JsonBody, ValueText,                  \
    UserId, UserCardJsonString)                                                                    \
  X(TVeltoUserCardDAO, UserCard_Delete, Delete, "/user-card/%s", NoBody, Nothing, UserCardId)      \
  X(TVeltoUserCardDAO, UserCard_GetNumber, Get, "/user-card/%s/number", NoBody, NumberText,        \
    UserCardId)

#define VELTO_PASS_THROUGH_OF_TVeltoSiteDAO(X, Form, Stream)                                       \
  X(TVeltoSiteDAO, Site_GetList, Get, "/sites", NoBody, ValueText)                                 \
  X(TVeltoSiteDAO, Site_Add, Post, "/sites", JsonBody, ValueText, SiteJsonString)                  \
  X(TVeltoSiteDAO, Site_Get, Get, "/site/%s", NoBody, ValueText, SiteId)                           \
  X(TVeltoSiteDAO, Site_Modify, Put, "/site/%s", JsonBody, ValueText, SiteId, SiteJsonString)      \
  X(TVeltoSiteDAO, Site_Delete, Delete, "/site/%s", NoBody, Nothing, SiteId)                       \
  Form(TVeltoSiteDAO, Site_SetLogo, Post, "/site/%s/logo", FormBody, ValueText, SiteId, FileName)

#define VELTO_PASS_THROUGH_OF_TVeltoPersonDAO(X, Form, Stream)                                     \
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

#define VELTO_PASS_THROUGH_OF_TVeltoConsentDAO(X, Form, Stream)                                    \
  X(TVeltoConsentDAO, Consent_Add, Post, "/consent/%s/%s", JsonBody, ValueText,                    \
    SiteId, PersonId, ConsentJsonString)                                                           \
  X(TVeltoConsentDAO, Consent_Get, Get, "/consent/%s/%s", NoBody, ValueText, SiteId, PersonId)     \
  X(TVeltoConsentDAO, Consent_Modify, Put, "/consent/%s/%s", JsonBody, ValueText,                  \
    SiteId, PersonId, ConsentJsonString)                                                           \
  X(TVeltoConsentDAO, Consent_Delete, Delete, "/consent/%s/%s", NoBody, Nothing, SiteId, PersonId)

#define VELTO_PASS_THROUGH_OF_TVeltoIssueDAO(X, Form, Stream)                                      \
  X(TVeltoIssueDAO, Issue_GetList, Get, "/issues/%s/%s?name=%q", NoBody, ValueText,                \
    SiteId, PersonId, IssueName)                                                                   \
  X(TVeltoIssueDAO, Issue_Add, Post, "/issues/%s/%s", JsonBody, ValueText,                         \
    SiteId, PersonId, IssueJsonString)                                                             \
  X(TVeltoIssueDAO, Issue_Get, Get, "/issue/%s", NoBody, ValueText, IssueId)                       \
  X(TVeltoIssueDAO, Issue_Modify, Put, "/issue/%s", JsonBody, ValueText, IssueId, IssueJsonString) \
  X(TVeltoIssueDAO, Issue_Delete, Delete, "/issue/%s", NoBody, Nothing, IssueId)

#define VELTO_PASS_THROUGH_OF_TVeltoFileDAO(X, Form, Stream)                                       \
  X(TVeltoFileDAO, File_GetList, Get, "/files/%s?name=%q", NoBody, ValueText, IssueId, FileName)   \
  Form(TVeltoFileDAO, File_Add, Post, "/files/%s", FormBody, ValueText,                            \
    IssueId, FullFileName, FileJsonString)                                                         \
  X(TVeltoFileDAO, File_Get, Get, "/file/%s", NoBody, ValueText, FileId)                           \
  X(TVeltoFileDAO, File_Modify, Put, "/file/%s", JsonBody, ValueText, FileId, FileJsonString)      \
  X(TVeltoFileDAO, File_Delete, Delete, "/file/%s", NoBody, Nothing, FileId)                       \
  Stream(TVeltoFileDAO, File_GetData, Get, "/file/%s/data", NoBody, IntoStream,                    \
    FileId, FileStream)                                                                            \
  X(TVeltoFileDAO, File_GetLogList, Get,                                                           \
    "/files/%s/log?personId=%s&fileId=%s&action=%s&searchFrom=%s&searchTo=%s", NoBody, ValueText,  \
    SiteId, PersonId, FileId, Action, SearchFrom, SearchTo)

#define VELTO_PASS_THROUGH_OF_TVeltoPortalDAO(X, Form, Stream)                                     \
  X(TVeltoPortalDAO, Portal_GetList, Get, "/portals/%s/%s?name=%q", NoBody, ValueText,             \
    SiteId, PersonId, PortalName)                                                                  \
  X(TVeltoPortalDAO, Portal_Add, Post, "/portals/%s/%s", JsonBody, ValueText,                      \
    SiteId, PersonId, PortalJsonString)                                                            \
  X(TVeltoPortalDAO, Portal_Get, Get, "/portal/%s", NoBody, ValueText, PortalId)                   \
  X(TVeltoPortalDAO, Portal_Modify, Put, "/portal/%s", JsonBody, ValueText,                        \
    PortalId, PortalJsonString)                                                                    \
  X(TVeltoPortalDAO, Portal_Delete, Delete, "/portal/%s", NoBody, Nothing, PortalId)

#define VELTO_PASS_THROUGH_OF_TVeltoMessageDAO(X, Form, Stream)                                    \
  X(TVeltoMessageDAO, Message_Add, Post, "/message/%s", JsonBody, ValueText,                       \
    SiteId, MessageJsonString)                                                                     \
  X(TVeltoMessageDAO, Message_GetSendResult, Get,                                                  \
    "/messages/%s?personId=%s&searchFrom=%s&searchTo=%s", NoBody, ValueText,                       \
    SiteId, PersonId, SearchFrom, SearchTo)

#define VELTO_PASS_THROUGH_OF_TVeltoBillingDAO(X, Form, Stream)                                    \
  X(TVeltoBillingDAO, Billing_GetList, Get,                                                        \
    "/billing/%s?personId=%s&classCd=%s&searchFrom=%s&searchTo=%s", NoBody, ValueText,             \
    SiteId, PersonId, ClassCd, BillingFrom, BillingTo)                                             \
  X(TVeltoBillingDAO, Billing_Add, Post, "/billing/%s", JsonBody, ValueText,                       \
    SiteId, BillingJsonString)

#define VELTO_PASS_THROUGH_OF_TVeltoSurveyDAO(X, Form, Stream)                                     \
  X(TVeltoSurveyDAO, Survey_GetList, Get, "/surveys/%s", NoBody, ValueText, IssueId)               \
  X(TVeltoSurveyDAO, Survey_Add, Post, "/surveys/%s", JsonBody, ValueText,                         \
    IssueId, SurveyJsonString)                                                                     \
  X(TVeltoSurveyDAO, Survey_Get, Get, "/survey/%s", NoBody, ValueText, SurveyId)                   \
  X(TVeltoSurveyDAO, Survey_Modify, Put, "/survey/%s", JsonBody, ValueText,                        \
    SurveyId, SurveyJsonString)                                                                    \
  X(TVeltoSurveyDAO, Survey_Delete, Delete, "/survey/%s", NoBody, Nothing, SurveyId)

#define VELTO_PASS_THROUGH_OF_TVeltoSurveyValueDAO(X, Form, Stream)                                \
  X(TVeltoSurveyValueDAO, SurveyValue_GetList, Get, "/survey/%s/values", NoBody, ValueText,        \
    SurveyId)                                                                                      \
  X(TVeltoSurveyValueDAO, SurveyValue_GetCompleteList, Get, "/survey/%s/values/complete", NoBody,  \
    ValueText, SurveyId)

#define VELTO_PASS_THROUGH_SHAPES(X, Form, Stream)          \
  VELTO_PASS_THROUGH_OF_TVeltoUserDAO(X, Form, Stream)      \
  VELTO_PASS_THROUGH_OF_TVeltoUserCardDAO(X, Form, Stream)  \
  VELTO_PASS_THROUGH_OF_TVeltoSiteDAO(X, Form, Stream)      \
  VELTO_PASS_THROUGH_OF_TVeltoPersonDAO(X, Form, Stream)    \
  VELTO_PASS_THROUGH_OF_TVeltoConsentDAO(X, Form, Stream)   \
  VELTO_PASS_THROUGH_OF_TVeltoIssueDAO(X, Form, Stream)     \
  VELTO_PASS_THROUGH_OF_TVeltoFileDAO(X, Form, Stream)      \
  VELTO_PASS_THROUGH_OF_TVeltoPortalDAO(X, Form, Stream)    \
  VELTO_PASS_THROUGH_OF_TVeltoMessageDAO(X, Form, Stream)   \
  VELTO_PASS_THROUGH_OF_TVeltoBillingDAO(X, Form, Stream)   \
  VELTO_PASS_THROUGH_OF_TVeltoSurveyDAO(X, Form, Stream)    \
  VELTO_PASS_THROUGH_OF_TVeltoSurveyValueDAO(X, Form, Stream)
// clang-format on

#define VELTO_PASS_THROUGH_ROWS(X) VELTO_PASS_THROUGH_SHAPES(X, X, X)
