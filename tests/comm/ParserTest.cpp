// The frame parser on hostile input: garbage, split delivery, every kind of
// malformed frame, and a fuzz run of random and mutated streams.
#include <gtest/gtest.h>

#include <random>

#include "Crc.h"
#include "FrameParser.h"
#include "GoldenFrames.h"
#include "ReplyLayout.h"
#include "WireFormat.h"

namespace orv::wire {
namespace {

using golden::Hex;

struct Collected {
  std::vector<uint16_t> types;
  std::vector<std::vector<uint8_t>> payloads;
};

Collected Feed(FrameParser& parser, const std::vector<uint8_t>& bytes) {
  Collected out;
  parser.Feed(bytes, [&](const FrameView& f) {
    out.types.push_back(f.type);
    out.payloads.emplace_back(f.payload.begin(), f.payload.end());
  });
  return out;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(FrameParser, ByteByByteDeliveryGivesTheSameFrames) {
  const auto stream = Concat(
      {Hex(golden::kHelloFrom2), Hex(golden::kIdentityFrom2), Hex(golden::kLayersCount2From4)});
  FrameParser parser;
  std::vector<uint16_t> types;
  for (uint8_t b : stream) {
    parser.Feed(std::span(&b, 1), [&](const FrameView& f) { types.push_back(f.type); });
  }
  EXPECT_EQ(types, (std::vector<uint16_t>{0, 27, 14}));
  EXPECT_EQ(parser.Buffered(), 0u);
  EXPECT_EQ(parser.Stats().garbageBytes, 0u);
}

TEST(FrameParser, ResynchronisesAfterGarbage) {
  // Noise containing sync bytes, a lone A5 just before a real frame, and a
  // frame cut in the middle followed by a complete one.
  const auto hello = Hex(golden::kHelloFrom2);
  const auto ack = Hex(golden::kAckOfCommand4From3);
  const std::vector<uint8_t> noise = {0x00, 0xA5, 0x5A, 0x01, 0xFF, 0xA5, 0x13, 0xA5};
  const std::vector<uint8_t> cut(ack.begin(), ack.begin() + 12);
  const std::vector<uint8_t> tail = {0x13, 0xA5};
  const auto stream = Concat({noise, hello, cut, ack, tail});
  FrameParser parser;
  const auto got = Feed(parser, stream);
  EXPECT_EQ(got.types, (std::vector<uint16_t>{0, 23}));
  // Everything except the two good frames was skipped, bar the trailing A5
  // that may start the next frame.
  EXPECT_EQ(parser.Stats().garbageBytes, stream.size() - hello.size() - ack.size() - 1);
  EXPECT_EQ(parser.Buffered(), 1u);
}

TEST(FrameParser, CountsEachKindOfMalformedFrame) {
  auto badCrc = Hex(golden::kHelloFrom2);
  badCrc[10] ^= 0x01;  // payload bit flipped
  auto badHeader = Hex(golden::kHelloFrom2);
  badHeader[3] = 7;  // address changed, header check now wrong
  auto headerOf = [](uint8_t version, uint8_t kind, uint16_t length) {
    std::vector<uint8_t> f = {0xA5, 0x5A, version, 1, kind, 0, 0, 0, 0, 0};
    PutU16(&f[7], length);
    f[9] = Crc8(std::span(f).subspan(2, 7));
    return f;
  };
  const auto badVersion = headerOf(2, 4, 0);
  const auto badKind = headerOf(1, 9, 0);
  const auto oversize = headerOf(1, 4, static_cast<uint16_t>(kMaxPayload + 1));
  const auto good = Hex(golden::kAckOfCommand4From3);
  FrameParser parser;
  const auto got = Feed(parser, Concat({badCrc, badHeader, badVersion, badKind, oversize, good}));
  EXPECT_EQ(got.types, (std::vector<uint16_t>{23}));
  const auto& s = parser.Stats();
  EXPECT_EQ(s.badCrc, 1u);
  EXPECT_EQ(s.badHeader, 1u);
  EXPECT_EQ(s.badVersion, 1u);
  EXPECT_EQ(s.badKind, 1u);
  EXPECT_EQ(s.oversize, 1u);
  EXPECT_EQ(s.frames, 1u);
}

TEST(FrameParser, LargestFrameAcceptedAndTruncationCounted) {
  const std::vector<uint8_t> payload(kMaxPayload, 0x5A);
  const auto big = EncodeFrame(1, FrameKind::Reply, 26, payload);
  ASSERT_EQ(big.size(), kMaxFrameSize);
  FrameParser parser;
  auto got = Feed(parser, big);
  ASSERT_EQ(got.payloads.size(), 1u);
  EXPECT_EQ(got.payloads[0], payload);

  const std::vector<uint8_t> half(big.begin(), big.begin() + 100);
  got = Feed(parser, half);
  EXPECT_TRUE(got.types.empty());
  EXPECT_EQ(parser.Buffered(), 100u);
  parser.Reset();
  EXPECT_EQ(parser.Stats().truncated, 100u);
  EXPECT_EQ(parser.Buffered(), 0u);
}

TEST(FrameParser, StopLeavesTheRestBuffered) {
  FrameParser parser;
  const auto stream = Concat({Hex(golden::kHelloFrom2), Hex(golden::kHelloFrom2)});
  int calls = 0;
  parser.Feed(stream, [&](const FrameView&) {
    ++calls;
    parser.Stop();
  });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(parser.Buffered(), Hex(golden::kHelloFrom2).size());
  parser.Feed({}, [&](const FrameView&) { ++calls; });
  EXPECT_EQ(calls, 2);
}

// A peer that stops in the middle of a frame: what is missing is known at
// every step, and giving the frame up finds the frame sent behind it, even
// inside the length the stalled header announced.
TEST(FrameParser, StalledFrameIsDroppedAndTheFrameBehindItFound) {
  const auto identity = Hex(golden::kIdentityFrom2);  // 34 bytes
  const auto hello = Hex(golden::kHelloFrom2);        // 13 bytes
  FrameParser parser;
  EXPECT_EQ(parser.Missing(), 0u);
  struct Step {
    std::vector<uint8_t> bytes;
    std::size_t missing;
  };
  const Step steps[] = {
      {{identity.begin(), identity.begin() + 3}, 7},        // the header's rest
      {{identity.begin() + 3, identity.begin() + 20}, 14},  // the payload's rest and CRC
      {hello, 1},                                           // inside the announced length
  };
  for (const Step& step : steps) {
    EXPECT_TRUE(Feed(parser, step.bytes).types.empty());
    EXPECT_EQ(parser.Missing(), step.missing);
  }
  std::vector<uint16_t> types;
  parser.DropStalled([&](const FrameView& f) { types.push_back(f.type); });
  EXPECT_EQ(types, std::vector<uint16_t>{0});
  EXPECT_EQ(parser.Stats().stalled, 1u);
  EXPECT_EQ(parser.Stats().garbageBytes, 20u);
  EXPECT_EQ(parser.Buffered(), 0u);
  EXPECT_EQ(parser.Missing(), 0u);
  parser.DropStalled([&](const FrameView&) { ADD_FAILURE() << "nothing was buffered"; });
  EXPECT_EQ(parser.Stats().stalled, 1u);
}

// Random bytes, and valid streams with random bit flips, insertions, deletions
// and cuts. The parser must never deliver a frame whose checks fail, never
// grow without bound, and must deliver every frame that survived intact.
TEST(FrameParserFuzz, RandomAndMutatedStreams) {
  std::mt19937 rng(12345);
  auto byte = [&] { return static_cast<uint8_t>(rng() & 0xFF); };
  const std::vector<std::vector<uint8_t>> samples = {
      Hex(golden::kHelloFrom2),
      Hex(golden::kIdentityFrom2),
      Hex(golden::kLayerWindow1From3),
      Hex(golden::kAckOfCommand4From3),
      Hex(golden::kLayersCount2From4),
      EncodeFrame(9, FrameKind::Reply, 2, std::vector<uint8_t>(2360, 7))};
  FrameParser parser;
  uint64_t delivered = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> stream;
    if (round % 3 == 0) {
      stream.resize(rng() % 600);
      for (auto& b : stream) b = byte();
    } else {
      for (int n = 0; n < 4; ++n) {
        const auto& s = samples[rng() % samples.size()];
        stream.insert(stream.end(), s.begin(), s.end());
      }
      const int mutations = static_cast<int>(rng() % 4);
      for (int m = 0; m < mutations && !stream.empty(); ++m) {
        const std::size_t at = rng() % stream.size();
        switch (rng() % 4) {
          case 0:
            stream[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
            break;
          case 1:
            stream.insert(stream.begin() + static_cast<std::ptrdiff_t>(at), byte());
            break;
          case 2:
            stream.erase(stream.begin() + static_cast<std::ptrdiff_t>(at));
            break;
          case 3:
            stream.resize(at);
            break;
        }
      }
    }
    // Deliver in random slices.
    std::size_t pos = 0;
    while (pos < stream.size()) {
      const std::size_t n = std::min<std::size_t>(stream.size() - pos, 1 + rng() % 700);
      parser.Feed(std::span(stream).subspan(pos, n), [&](const FrameView& f) {
        ++delivered;
        ASSERT_LE(f.payload.size(), kMaxPayload);
        // Whatever is delivered passed both checks; the reply layer may still
        // refuse it, and must do so without reading out of bounds.
        Reply reply;
        const auto check = DecodeReply(f.type, f.address, f.payload, reply);
        if (check == ReplyCheck::Ok) {
          ASSERT_LE(reply.data.size() + reply.extra.size(), f.payload.size());
        }
      });
      pos += n;
    }
    ASSERT_LE(parser.Buffered(), kMaxFrameSize);
  }
  // Intact frames got through the noise: two out of three rounds carry four
  // frames and at most three mutations.
  EXPECT_GT(delivered, 2000u);
  const auto& s = parser.Stats();
  EXPECT_EQ(s.frames, delivered);
  EXPECT_GT(s.garbageBytes, 0u);
  EXPECT_GT(s.badCrc + s.badHeader, 0u);
}

}  // namespace
}  // namespace orv::wire
