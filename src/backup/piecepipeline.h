// Compresses or inflates independent pieces on worker threads while the caller takes the
// results strictly in submission order. A fixed ring of pieces bounds the memory whatever
// the file sizes; the caller thread alone reads, writes and runs events.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "archiveformat.h"

namespace sonaro::backup {

enum class PieceOp : uint8_t { Deflate, Inflate, Copy };

// Outcome of a piece: Deflate gives Compressed (out holds the zlib stream) or Stored (out
// unused: the stream did not fit the area); Inflate gives Compressed (out holds exactly the
// piece) or Failed (out holds the bytes produced before the stream broke or overflowed);
// Copy leaves in as it is.
enum class PieceResult : uint8_t { Compressed, Stored, Failed };

struct Piece {
  unsigned char in[kPieceSize];
  unsigned char out[kPieceSize];
  int inLen = 0;
  int outLen = 0;
  PieceOp op = PieceOp::Copy;
  PieceResult result = PieceResult::Compressed;
  std::size_t tag = 0;  // the caller's: which file the piece belongs to
  std::atomic<int> state{0};
};

class PiecePipeline {
 public:
  // workers == 0 does the work inside Submit, on the caller's thread.
  PiecePipeline(int workers, int deflateLevel);
  ~PiecePipeline();
  PiecePipeline(const PiecePipeline&) = delete;
  PiecePipeline& operator=(const PiecePipeline&) = delete;

  // Worker count for this machine: its cores but one, at most 8; 0 on a single core.
  static int DefaultWorkers();

  bool Full() const { return count_ == ring_.size(); }
  bool Empty() const { return count_ == 0; }
  std::size_t InFlight() const { return count_; }
  // The next free piece (only when !Full()); fill in, inLen and op, then Submit it.
  Piece& Claim() { return *ring_[(head_ + count_) % ring_.size()]; }
  void Submit();
  // The oldest submitted piece, once its work is done.
  Piece& Front();
  // Its tag, without waiting for the work.
  std::size_t FrontTag() const { return ring_[head_]->tag; }
  void PopFront();
  // Waits for every piece in flight and drops them.
  void Clear();

  struct Zlib;

 private:
  void WorkerLoop();

  std::vector<std::unique_ptr<Piece>> ring_;
  std::size_t head_ = 0;
  std::size_t count_ = 0;
  std::unique_ptr<Zlib> inlineZlib_;  // the caller's thread's streams
  bool inline_ = false;
  int level_;
  std::mutex mutex_;
  std::condition_variable jobsReady_;
  std::deque<Piece*> jobs_;
  bool stopping_ = false;
  bool unannounced_ = false;  // jobs queued since the workers were last woken
  std::vector<std::thread> threads_;
};

}  // namespace sonaro::backup
