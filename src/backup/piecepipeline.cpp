#include "piecepipeline.h"

#include <zlib.h>

#include <algorithm>

namespace sonaro::backup {

namespace {
enum : int { kFree = 0, kQueued = 1, kDone = 2 };
}

// One deflate and one inflate stream per thread, reset between pieces: the output is the
// same as from a stream initialised afresh for every piece, without the allocations.
struct PiecePipeline::Zlib {
  explicit Zlib(int level) : level(level) {}
  ~Zlib() {
    if (deflateReady) deflateEnd(&def);
    if (inflateReady) inflateEnd(&inf);
  }
  Zlib(const Zlib&) = delete;
  Zlib& operator=(const Zlib&) = delete;

  void Deflate(Piece& p) {
    if (deflateReady) {
      deflateReady = deflateReset(&def) == Z_OK;
    } else {
      def = z_stream{};
      deflateReady = deflateInit(&def, level) == Z_OK;
    }
    if (!deflateReady) {
      p.result = PieceResult::Failed;
      return;
    }
    def.next_in = p.in;
    def.avail_in = uInt(p.inLen);
    def.next_out = p.out;
    def.avail_out = kPieceSize;
    const int r = deflate(&def, Z_FINISH);
    p.outLen = kPieceSize - int(def.avail_out);
    if (r == Z_STREAM_END) {
      p.result = PieceResult::Compressed;
    } else if (r == Z_OK && def.avail_out == 0) {
      p.result = PieceResult::Stored;  // the stream did not fit: keep the raw piece
    } else {
      p.result = PieceResult::Failed;
    }
  }

  void Inflate(Piece& p) {
    if (inflateReady) {
      inflateReady = inflateReset(&inf) == Z_OK;
    } else {
      inf = z_stream{};
      inflateReady = inflateInit(&inf) == Z_OK;
    }
    p.outLen = 0;
    if (!inflateReady) {
      p.result = PieceResult::Failed;
      return;
    }
    inf.next_in = p.in;
    inf.avail_in = uInt(p.inLen);
    inf.next_out = p.out;
    inf.avail_out = kPieceSize;
    // A chunk is one whole stream of at most one piece: anything short of its end within
    // the area (broken data, a cut stream, a stream that would overflow) is an error.
    const int r = inflate(&inf, Z_FINISH);
    p.outLen = kPieceSize - int(inf.avail_out);
    p.result = r == Z_STREAM_END ? PieceResult::Compressed : PieceResult::Failed;
  }

  void Run(Piece& p) {
    if (p.op == PieceOp::Deflate) {
      Deflate(p);
    } else if (p.op == PieceOp::Inflate) {
      Inflate(p);
    } else {
      p.result = PieceResult::Stored;
    }
  }

  int level;
  z_stream def{};
  z_stream inf{};
  bool deflateReady = false;
  bool inflateReady = false;
};

// The caller's thread helps (see Front), so one worker fewer than cores keeps them all busy.
int PiecePipeline::DefaultWorkers() {
  const unsigned n = std::thread::hardware_concurrency();
  return n <= 1 ? 0 : int(std::min(n - 1, 8u));
}

PiecePipeline::PiecePipeline(int workers, int deflateLevel) : level_(deflateLevel) {
  const std::size_t slots = std::size_t(std::max(4, 6 * workers));
  ring_.reserve(slots);
  for (std::size_t i = 0; i < slots; ++i) ring_.push_back(std::make_unique<Piece>());
  inlineZlib_ = std::make_unique<Zlib>(level_);
  inline_ = workers == 0;
  for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { WorkerLoop(); });
}

PiecePipeline::~PiecePipeline() {
  Clear();
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  jobsReady_.notify_all();
  for (auto& t : threads_) t.join();
}

void PiecePipeline::WorkerLoop() {
  Zlib zlib(level_);
  for (;;) {
    Piece* p = nullptr;
    {
      std::unique_lock lock(mutex_);
      jobsReady_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      p = jobs_.front();
      jobs_.pop_front();
    }
    zlib.Run(*p);
    p->state.store(kDone, std::memory_order_release);
    p->state.notify_one();
  }
}

void PiecePipeline::Submit() {
  Piece& p = Claim();
  ++count_;
  if (inline_ || p.op == PieceOp::Copy) {
    inlineZlib_->Run(p);
    p.state.store(kDone, std::memory_order_relaxed);
    return;
  }
  p.state.store(kQueued, std::memory_order_relaxed);
  std::lock_guard lock(mutex_);
  jobs_.push_back(&p);
  unannounced_ = true;  // workers are woken once per batch, in Front
}

// Rather than sleep while the oldest piece is worked on, the caller takes queued pieces
// itself: the caller's thread is one more worker, and no core is left idle.
Piece& PiecePipeline::Front() {
  if (unannounced_) {
    unannounced_ = false;
    jobsReady_.notify_all();
  }
  Piece& p = *ring_[head_];
  for (int s = p.state.load(std::memory_order_acquire); s != kDone;
       s = p.state.load(std::memory_order_acquire)) {
    Piece* job = nullptr;
    {
      std::lock_guard lock(mutex_);
      if (!jobs_.empty()) {
        job = jobs_.front();
        jobs_.pop_front();
      }
    }
    if (!job) {
      p.state.wait(s, std::memory_order_acquire);
      continue;
    }
    inlineZlib_->Run(*job);
    job->state.store(kDone, std::memory_order_release);
  }
  return p;
}

void PiecePipeline::PopFront() {
  ring_[head_]->state.store(kFree, std::memory_order_relaxed);
  head_ = (head_ + 1) % ring_.size();
  --count_;
}

void PiecePipeline::Clear() {
  while (!Empty()) {
    Front();
    PopFront();
  }
}

}  // namespace sonaro::backup
