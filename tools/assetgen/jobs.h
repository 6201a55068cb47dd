// The generator's units of work. Each Add...Jobs appends independent jobs
// that write their files into the sink; main runs them on two workers.
#pragma once

#include <functional>
#include <vector>

#include "asset_sink.h"

namespace assetgen {

using Job = std::function<void(AssetSink&)>;

void AddPlayerShipJobs(std::vector<Job>& jobs);
void AddEnemyJobs(std::vector<Job>& jobs);
void AddBackdropJobs(std::vector<Job>& jobs);
void AddTileJobs(std::vector<Job>& jobs);
void AddExplosionJobs(std::vector<Job>& jobs);
void AddEffectJobs(std::vector<Job>& jobs);
void AddHudJobs(std::vector<Job>& jobs);
void AddLettering(std::vector<Job>& jobs);
void AddEmblemJobs(std::vector<Job>& jobs);
void AddSoundJobs(std::vector<Job>& jobs);
void AddMusicJobs(std::vector<Job>& jobs);

} // namespace assetgen
