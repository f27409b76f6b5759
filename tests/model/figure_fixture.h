// A creature with a recording message sink, and parts connected to it.
#pragma once

#include <gtest/gtest.h>

#include "model/creature.h"
#include "part_builder.h"
#include "../support/recording_sink.h"

namespace testdata {

using testsupport::RecordingSink;

class Figure : public ::testing::Test {
protected:
    // Connects a part that is expected to join the figure.
    model::MeshObject* Add(const std::string& type, const PartShape& shape) {
        auto part = MakePart(type, shape);
        EXPECT_NE(part, nullptr);
        model::MeshObject* raw = part.get();
        EXPECT_TRUE(creature.ConnectPart(std::move(part))) << type;
        return raw;
    }
    bool TryAdd(const std::string& type, const PartShape& shape) {
        return creature.ConnectPart(MakePart(type, shape));
    }

    RecordingSink sink;
    model::Creature creature{sink};
};

}  // namespace testdata
