// web/pre.js -- runs before the game's main(): the best-score folder is mounted from the
// browser's IndexedDB and loaded first, so that start-up reads the kept best score.
Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  FS.mkdir('/saved');  // SAVED_FOLDER of web/saved.h
  FS.mount(IDBFS, {}, '/saved');
  addRunDependency('saved-best-score');
  FS.syncfs(true, function (error) {
    if (error) err('the kept best score could not be read: ' + error);
    removeRunDependency('saved-best-score');
  });
});
// The music is decoded by Web Audio from the packaged file, not by an audio element at load.
Module['noAudioDecoding'] = true;
