#pragma once

namespace pellucor::platform {

// Long computations call ProcessOneMessage between steps so the windows stay
// alive and the person can ask for a stop.
class MessagePump {
public:
    virtual ~MessagePump() = default;
    virtual void ProcessOneMessage() = 0;
};

}  // namespace pellucor::platform
