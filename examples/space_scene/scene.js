// Turns the crate and the drum, and ends the game after 45 frames.
var frames = 0;

function sceneReady() {
  var names = ['default', 'gui', 'red'].filter(function (name) { return materials.getMaterial(name) != null; });
  engine.log('Materials ' + names.join(', ') + '; camera at ' + camera.position.y);
}

function turnShapes(seconds) {
  crate.zAngle = crate.zAngle + 60 * seconds;
  drum.yAngle = drum.yAngle + 90 * seconds;
  frames = frames + 1;
  if (frames == 45) {
    engine.log('Turned for 45 frames');
    applet.terminate();
  }
}
