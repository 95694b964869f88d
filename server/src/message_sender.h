#pragma once

#include "record_table.h"

namespace velto::server {

// Hands a message on towards the person's phone. It may fill in members of the message (its
// "sendTime") before the message is stored.
class MessageSender {
 public:
  virtual ~MessageSender() = default;
  virtual void Send(Fields& message) = 0;
};

// The built-in sender: no gateway is reachable, so a message counts as sent when it is
// recorded, and "sendTime" is that moment.
class RecordingSender : public MessageSender {
 public:
  void Send(Fields& message) override;
};

}  // namespace velto::server
