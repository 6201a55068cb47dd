// Joined to the front of backfire.js. SDL's Web Audio output asks for two
// helpers that emscripten releases newer than ours provide.

// Calls a function of the program's table: SDL's audio callback.
function dynCall(signature, pointer, args) {
  return Module['dynCall_' + signature].apply(null, [pointer].concat(args || []));
}

// Browsers keep a
// page's audio context suspended until the player's first key, click or
// touch, so the context is resumed at each of those until it runs.
function autoResumeAudioContext(context) {
  var resume = function () {
    if (context.state === 'suspended') context.resume();
  };
  ['keydown', 'mousedown', 'touchstart', 'touchend', 'pointerdown'].forEach(function (name) {
    window.addEventListener(name, resume, true);
  });
}
