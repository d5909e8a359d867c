// The first game's rules: the arrow keys move the player, a click on it
// counts, Escape ends the game.
var speed = 120;  // applet units a second
var clicks = 0;

function movePlayer(seconds) {
  var step = speed * seconds;
  if (event.isKeyDown(VK_LEFT)) player.position.x -= step;
  if (event.isKeyDown(VK_RIGHT)) player.position.x += step;
  if (event.isKeyDown(VK_UP)) player.position.y -= step;
  if (event.isKeyDown(VK_DOWN)) player.position.y += step;
}

function playerClicked() {
  clicks = clicks + 1;
  engine.log('Clicked the player ' + clicks + ' time(s)');
}

function keyReleased(key) {
  if (key == VK_ESCAPE) {
    engine.log('Bye');
    applet.terminate();
    return;
  }
  engine.log('Key ' + key + ' released');
}
