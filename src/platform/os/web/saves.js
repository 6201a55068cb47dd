// Joined to the front of backfire.js. The save folder lives in IndexedDB:
// before the game starts, it is mounted and filled from there; afterwards
// Module.backfirePersist copies it back, called by the game after it wrote a
// file. A copy asked for while one is under way runs when that one ends, so
// the last write always reaches IndexedDB.
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  var folder = '/backfire';
  FS.mkdir(folder);
  FS.mount(IDBFS, {}, folder);
  addRunDependency('backfire-saves');
  FS.syncfs(true, function (error) {
    if (error) {
      // The game still runs; it starts from fresh settings.
      err('backfire: the saved games could not be read from this browser\'s storage: ' + error);
    }
    removeRunDependency('backfire-saves');
  });
});

(function () {
  var running = false;
  var again = false;
  // For the page: whether a copy is under way or waiting.
  Module.backfirePersisting = function () {
    return running || again;
  };
  Module.backfirePersist = function () {
    if (running) {
      again = true;
      return;
    }
    running = true;
    FS.syncfs(false, function (error) {
      running = false;
      if (error) {
        err('backfire: the game could not be saved to this browser\'s storage: ' + error);
      }
      if (again) {
        again = false;
        Module.backfirePersist();
      }
    });
  };
})();
